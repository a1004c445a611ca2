#pragma once

#include <memory>

#include "API/TovrinJSONRequest.h"

namespace tovrin {

// A request to the web service host with an optional JSON body. Immutable.
class TovrinAPIRequest : public TovrinJSONRequest {
public:
    TovrinAPIRequest(QString HTTPMethod, QString path, std::optional<URLQueryItems> queryItems,
                     std::optional<QJsonObject> jsonBody);

    static std::shared_ptr<TovrinAPIRequest> GETRequestWithPath(const QString& path,
                                                                std::optional<URLQueryItems> queryItems);
    static std::shared_ptr<TovrinAPIRequest> POSTRequestWithPath(const QString& path,
                                                                 std::optional<URLQueryItems> queryItems,
                                                                 std::optional<QJsonObject> jsonBody);
    static std::shared_ptr<TovrinAPIRequest> PUTRequestWithPath(const QString& path,
                                                                std::optional<URLQueryItems> queryItems,
                                                                std::optional<QJsonObject> jsonBody);
    static std::shared_ptr<TovrinAPIRequest> DELETERequestWithPath(const QString& path,
                                                                   std::optional<URLQueryItems> queryItems,
                                                                   std::optional<QJsonObject> jsonBody);

    const QString& HTTPMethod() const override { return HTTPMethod_; }
    const QString& path() const override { return path_; }
    const std::optional<URLQueryItems>& queryItems() const override { return queryItems_; }
    TovrinRequestType serviceType() const override { return TovrinRequestTypeAPI; }
    const std::optional<QJsonObject>& jsonBody() const override { return jsonBody_; }

private:
    const QString HTTPMethod_;
    const QString path_;
    const std::optional<URLQueryItems> queryItems_;
    const std::optional<QJsonObject> jsonBody_;
};

}  // namespace tovrin
