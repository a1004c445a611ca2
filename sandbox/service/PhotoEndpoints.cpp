#include "sandbox/service/PhotoEndpoints.h"

#include <QImage>
#include <QJsonObject>

#include "sandbox/media/MediaStore.h"
#include "sandbox/service/Moderator.h"
#include "sandbox/service/ServiceContext.h"
#include "sandbox/service/ServiceError.h"
#include "sandbox/world/World.h"

namespace tovrin::sandbox {

namespace {

// "maxY,minX,maxX,minY" as the square it names; nothing when malformed.
std::optional<QRect> thumbnailSquare(const std::optional<QString>& text) {
    const QStringList parts = text.value_or(QString()).split(QLatin1Char(','));
    if (parts.size() != 4) return std::nullopt;
    int values[4];
    for (int index = 0; index < 4; ++index) {
        bool ok = false;
        values[index] = parts[index].trimmed().toInt(&ok);
        if (!ok) return std::nullopt;
    }
    const auto [maximumY, minimumX, maximumX, minimumY] = values;
    return QRect(QPoint(minimumX, minimumY), QPoint(maximumX - 1, maximumY - 1));
}

}  // namespace

void PhotoEndpoints::install(HTTPHost& host, const std::shared_ptr<ServiceContext>& context) {
    ServiceContext& service = *context;
    host.route("POST", "/v3/me/pics", service.signedIn([context](Member& member, const HTTPRequest& request) {
        return upload(*context, member, request);
    }));
    host.route("POST", "/v3/me/prefs/chat-pix/{}",
               service.signedIn([context](Member& member, const HTTPRequest& request) {
                   const QString hash = request.arguments[0];
                   if (!context->media->contains(hash)) return errorReply(ServiceError::NotFound);
                   if (!member.chatPhotos.contains(hash)) member.chatPhotos << hash;
                   return HTTPReply::json(QJsonObject());
               }));
}

HTTPReply PhotoEndpoints::upload(ServiceContext& context, Member& member, const HTTPRequest& request) {
    const QString type = request.queryValue("type").value_or(QString());
    const bool isProfilePhoto = type == QLatin1String("profile");
    const QImage image = QImage::fromData(request.body, "JPG");
    const bool isJPEG = request.header("Content-Type").value_or(QByteArray()).startsWith("image/jpeg");
    if ((!isProfilePhoto && type != QLatin1String("chat")) || !isJPEG || image.isNull())
        return errorReply(ServiceError::InvalidRequest);
    if (isProfilePhoto && !takeDailyProfilePhoto(context, member))
        return errorReply(ServiceError::DailyPhotoLimitReached);
    const std::optional<QRect> square =
        isProfilePhoto ? thumbnailSquare(request.queryValue("thumbCoords")) : std::nullopt;
    const QString hash = context.media->addUploadedPhoto(request.body, image, square);
    if (isProfilePhoto) context.moderator->submitPhoto(member.profileID, hash);
    return HTTPReply::json(QJsonObject{{"mediaHash", hash}});
}

bool PhotoEndpoints::takeDailyProfilePhoto(ServiceContext& context, Member& member) {
    const QDate today = QDate::currentDate();
    if (member.profilePhotoDay != today) {
        member.profilePhotoDay = today;
        member.profilePhotosThatDay = 0;
    }
    if (member.profilePhotosThatDay >= context.options.dailyProfilePhotoLimit) return false;
    ++member.profilePhotosThatDay;
    return true;
}

}  // namespace tovrin::sandbox
