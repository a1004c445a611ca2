#pragma once

#include <QVariantMap>
#include <memory>
#include <vector>

#include "API/BannedUserListener.h"
#include "API/CertificateMismatchListener.h"
#include "API/DeprecatedClientListener.h"
#include "API/ErrorMessageParser.h"
#include "API/HTTPHeaderFurnisher.h"
#include "API/TovrinService.h"
#include "fixtures/net/FakeReachability.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/OperationQueue.h"
#include "platform/system/Device.h"

namespace tovrin::test {

// The three application-wide listeners in one, recording each call and whether the promise it
// concerns was still pending then.
class RecordingListeners : public DeprecatedClientListener,
                           public BannedUserListener,
                           public CertificateMismatchListener {
public:
    struct Call {
        QString name;
        bool promiseWasPending;
    };

    void clientIsDeprecated() override { record("clientIsDeprecated"); }
    void userIsBanned() override { record("userIsBanned"); }
    void certificateMismatched() override { record("certificateMismatched"); }
    void certificateIsValid() override { record("certificateIsValid"); }

    // The promise whose state each call records.
    Promise<QJsonValue> watched;
    std::vector<Call> calls;

private:
    void record(const QString& name) { calls.push_back({name, !watched.isNull() && watched.isPending()}); }
};

inline std::shared_ptr<Device> sampleDevice() {
    return std::make_shared<Device>("iPhone", "iOS", "8.1", QString());
}

inline QVariantMap sampleInfoDictionary() {
    return {{"CFBundleShortVersionString", "3.0"}, {"CFBundleVersion", "42"}};
}

// A web client over a real session, with its collaborators open to the test.
struct WebClient {
    std::shared_ptr<FakeReachability> reachability = std::make_shared<FakeReachability>();
    std::shared_ptr<RecordingListeners> listeners = std::make_shared<RecordingListeners>();
    std::shared_ptr<NotificationCenter> notificationCenter = std::make_shared<NotificationCenter>();
    std::shared_ptr<HTTPHeaderFurnisher> headerFurnisher =
        std::make_shared<HTTPHeaderFurnisher>(sampleDevice(), sampleInfoDictionary());

    std::shared_ptr<TovrinService> makeService(
        std::shared_ptr<net::URLSession> session,
        std::shared_ptr<OperationQueue> backgroundQueue = std::make_shared<OperationQueue>()) const {
        return std::make_shared<TovrinService>(
            std::move(session), notificationCenter, std::make_shared<ErrorMessageParser>(), headerFurnisher,
            listeners, listeners, listeners, std::move(backgroundQueue), OperationQueue::main());
    }

    std::shared_ptr<TovrinService> makeService(double timeout = 30) const {
        net::URLSessionConfiguration configuration;
        configuration.timeoutIntervalForRequest = timeout;
        return makeService(std::make_shared<net::URLSession>(configuration, reachability));
    }
};

}  // namespace tovrin::test
