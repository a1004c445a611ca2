#include "platform/system/SystemLocationManager.h"

#include <QFile>
#include <QGeoPositionInfoSource>
#include <QNmeaPositionInfoSource>
#include <cmath>

#include "platform/foundation/Bundle.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/UserDefaults.h"

namespace tovrin {

const QString SystemLocationManager::AuthorizationStatusDefaultsKey =
    QStringLiteral("TovrinLocationAuthorizationStatus");
const QString SystemLocationManager::AuthorizationInfoKey = QStringLiteral("TovrinLocationAuthorization");
const QString SystemLocationManager::FixedLocationInfoKey = QStringLiteral("TovrinFixedLocation");
const QString SystemLocationManager::NMEAReplayFileInfoKey = QStringLiteral("TovrinNMEAReplayFile");

namespace {

std::optional<LocationAuthorizationStatus> statusFrom(const QVariant& value) {
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!value.isValid() || !ok) return std::nullopt;
    switch (number) {
        case 0:
            return LocationAuthorizationStatus::NotDetermined;
        case 1:
            return LocationAuthorizationStatus::Restricted;
        case 2:
            return LocationAuthorizationStatus::Denied;
        case 4:
            return LocationAuthorizationStatus::AuthorizedWhenInUse;
        default:
            return std::nullopt;
    }
}

std::optional<double> finiteNumber(const QVariant& value) {
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!value.isValid() || !ok || !std::isfinite(number)) return std::nullopt;
    return number;
}

// Nothing when the entry is absent or does not name a valid position.
std::optional<Location> fixedLocationFrom(const QVariant& entry) {
    if (!entry.isValid() || entry.isNull()) return std::nullopt;
    const QVariantMap map = entry.toMap();
    const auto latitude = finiteNumber(map.value(QStringLiteral("latitude")));
    const auto longitude = finiteNumber(map.value(QStringLiteral("longitude")));
    if (!latitude || !longitude) return std::nullopt;
    Location location;
    location.coordinate = Coordinate{*latitude, *longitude};
    if (!location.coordinate.isValid()) return std::nullopt;
    const QVariant accuracy = map.value(QStringLiteral("accuracy"));
    location.horizontalAccuracy = accuracy.isValid() ? finiteNumber(accuracy).value_or(-1)
                                                     : SystemLocationManager::DefaultFixedAccuracy;
    return location;
}

Location locationFrom(const QGeoPositionInfo& info) {
    Location location;
    location.coordinate = Coordinate{info.coordinate().latitude(), info.coordinate().longitude()};
    location.timestamp = info.timestamp().isValid() ? Date::fromQDateTime(info.timestamp()) : Date::now();
    // No accuracy, or no valid position, reads as an invalid fix, as on the phone.
    if (info.hasAttribute(QGeoPositionInfo::HorizontalAccuracy) && info.coordinate().isValid())
        location.horizontalAccuracy = info.attribute(QGeoPositionInfo::HorizontalAccuracy);
    if (std::isnan(location.horizontalAccuracy)) location.horizontalAccuracy = -1;
    return location;
}

qint64 codeFor(QGeoPositionInfoSource::Error error) {
    return error == QGeoPositionInfoSource::AccessError ? LocationErrorDenied : LocationErrorLocationUnknown;
}

QGeoPositionInfoSource* systemDefaultSource(QObject* parent) {
    return QGeoPositionInfoSource::createDefaultSource(parent);
}

}  // namespace

SystemLocationManager::SystemLocationManager(std::shared_ptr<UserDefaults> defaults,
                                             std::shared_ptr<Bundle> bundle,
                                             std::shared_ptr<LocationAuthorizationPrompter> prompter,
                                             DefaultSourceFactory defaultSource)
    : defaults_(std::move(defaults)),
      bundle_(std::move(bundle)),
      prompter_(std::move(prompter)),
      defaultSource_(defaultSource ? std::move(defaultSource) : DefaultSourceFactory(systemDefaultSource)) {}

SystemLocationManager::~SystemLocationManager() {
    endSource();
}

LocationAuthorizationStatus SystemLocationManager::authorizationStatus() const {
    if (auto stored = statusFrom(defaults_->objectForKey(AuthorizationStatusDefaultsKey))) return *stored;
    if (auto preset = statusFrom(bundle_->objectForInfoDictionaryKey(AuthorizationInfoKey))) return *preset;
    return LocationAuthorizationStatus::NotDetermined;
}

void SystemLocationManager::requestWhenInUseAuthorization() {
    if (asking_ || authorizationStatus() != LocationAuthorizationStatus::NotDetermined) return;
    asking_ = true;
    std::weak_ptr<SystemLocationManager> weak = weak_from_this();
    if (!prompter_) {
        MainQueue::async([weak] {
            if (auto self = weak.lock()) self->answer(std::nullopt);
        });
        return;
    }
    prompter_->askForWhenInUseAuthorization([weak](std::optional<bool> allowed) {
        // The answer may come inside the prompt's own call; the delegate still hears it later.
        MainQueue::async([weak, allowed] {
            if (auto self = weak.lock()) self->answer(allowed);
        });
    });
}

void SystemLocationManager::answer(std::optional<bool> allowed) {
    asking_ = false;
    // Updates asked for before the answer begin now, or fail as a denied start does.
    const bool waitingUpdates = updating_ && !source_;
    if (!allowed) {
        // Unasked, the status stays undetermined, and whoever waits for the answer hears a failure
        // rather than nothing.
        if (auto delegate = this->delegate())
            delegate->locationManagerDidFailWithError(
                *this, Error(LocationErrorDomain, LocationErrorLocationUnknown));
        return;
    }
    const auto status =
        *allowed ? LocationAuthorizationStatus::AuthorizedWhenInUse : LocationAuthorizationStatus::Denied;
    defaults_->setInteger(static_cast<int>(status), AuthorizationStatusDefaultsKey);
    defaults_->synchronize();
    if (waitingUpdates) beginUpdates();
    if (auto delegate = this->delegate())
        delegate->locationManagerDidChangeAuthorizationStatus(*this, status);
}

void SystemLocationManager::startUpdatingLocation() {
    if (updating_) return;
    updating_ = true;
    ++run_;
    beginUpdates();
}

void SystemLocationManager::stopUpdatingLocation() {
    if (!updating_) return;
    updating_ = false;
    ++run_;
    endSource();
}

void SystemLocationManager::beginUpdates() {
    switch (authorizationStatus()) {
        case LocationAuthorizationStatus::NotDetermined:
            return;  // they begin once the member allows them
        case LocationAuthorizationStatus::Restricted:
        case LocationAuthorizationStatus::Denied:
            failLater(LocationErrorDenied);
            return;
        case LocationAuthorizationStatus::AuthorizedWhenInUse:
            break;
    }

    const QVariant fixedEntry = bundle_->objectForInfoDictionaryKey(FixedLocationInfoKey);
    if (fixedEntry.isValid() && !fixedEntry.isNull()) {
        const std::optional<Location> fixed = fixedLocationFrom(fixedEntry);
        if (!fixed) {
            failLater(LocationErrorLocationUnknown);
            return;
        }
        deliverLater(
            [location = *fixed](LocationManagerDelegate& delegate, LocationManager& manager) mutable {
                location.timestamp = Date::now();
                delegate.locationManagerDidUpdateLocations(manager, {location});
            });
        return;
    }

    const QString replayFile = bundle_->objectForInfoDictionaryKey(NMEAReplayFileInfoKey).toString();
    if (!replayFile.isEmpty()) {
        auto* nmea = new QNmeaPositionInfoSource(QNmeaPositionInfoSource::SimulationMode);
        auto* file = new QFile(replayFile, nmea);
        if (!file->open(QIODevice::ReadOnly)) {
            delete nmea;
            failLater(LocationErrorLocationUnknown);
            return;
        }
        nmea->setUserEquivalentRangeError(NMEAUserEquivalentRangeError);
        nmea->setDevice(file);
        source_ = nmea;
    } else {
        QGeoPositionInfoSource* candidate = defaultSource_(nullptr);
        // A source that names no positioning method never answers (geoclue without an agent).
        if (!candidate ||
            candidate->supportedPositioningMethods() == QGeoPositionInfoSource::NoPositioningMethods) {
            delete candidate;
            failLater(LocationErrorLocationUnknown);
            return;
        }
        source_ = candidate;
    }

    std::weak_ptr<SystemLocationManager> weak = weak_from_this();
    QGeoPositionInfoSource* origin = source_;
    QObject::connect(
        source_, &QGeoPositionInfoSource::positionUpdated, source_,
        [weak, origin](const QGeoPositionInfo& info) {
            auto self = weak.lock();
            if (!self || self->source_ != origin) return;
            if (auto delegate = self->delegate())
                delegate->locationManagerDidUpdateLocations(*self, {locationFrom(info)});
        },
        Qt::QueuedConnection);
    QObject::connect(
        source_, &QGeoPositionInfoSource::errorOccurred, source_,
        [weak, origin](QGeoPositionInfoSource::Error error) {
            auto self = weak.lock();
            if (!self || self->source_ != origin || error == QGeoPositionInfoSource::NoError) return;
            if (auto delegate = self->delegate())
                delegate->locationManagerDidFailWithError(*self, Error(LocationErrorDomain, codeFor(error)));
        },
        Qt::QueuedConnection);
    source_->startUpdates();
}

void SystemLocationManager::endSource() {
    if (!source_) return;
    source_->stopUpdates();
    // Deleting the source drops the signals it queued.
    source_->deleteLater();
    source_ = nullptr;
}

void SystemLocationManager::deliverLater(
    std::function<void(LocationManagerDelegate&, LocationManager&)> call) {
    std::weak_ptr<SystemLocationManager> weak = weak_from_this();
    MainQueue::async([weak, run = run_, call = std::move(call)] {
        auto self = weak.lock();
        if (!self || !self->updating_ || self->run_ != run) return;
        if (auto delegate = self->delegate()) call(*delegate, *self);
    });
}

void SystemLocationManager::failLater(qint64 code) {
    deliverLater([code](LocationManagerDelegate& delegate, LocationManager& manager) {
        delegate.locationManagerDidFailWithError(manager, Error(LocationErrorDomain, code));
    });
}

}  // namespace tovrin
