#include "API/TovrinAPIRequest.h"

namespace tovrin {

TovrinAPIRequest::TovrinAPIRequest(QString HTTPMethod, QString path, std::optional<URLQueryItems> queryItems,
                                   std::optional<QJsonObject> jsonBody)
    : HTTPMethod_(std::move(HTTPMethod)),
      path_(std::move(path)),
      queryItems_(std::move(queryItems)),
      jsonBody_(std::move(jsonBody)) {}

std::shared_ptr<TovrinAPIRequest> TovrinAPIRequest::GETRequestWithPath(
    const QString& path, std::optional<URLQueryItems> queryItems) {
    return std::make_shared<TovrinAPIRequest>("GET", path, std::move(queryItems), std::nullopt);
}

std::shared_ptr<TovrinAPIRequest> TovrinAPIRequest::POSTRequestWithPath(
    const QString& path, std::optional<URLQueryItems> queryItems, std::optional<QJsonObject> jsonBody) {
    return std::make_shared<TovrinAPIRequest>("POST", path, std::move(queryItems), std::move(jsonBody));
}

std::shared_ptr<TovrinAPIRequest> TovrinAPIRequest::PUTRequestWithPath(
    const QString& path, std::optional<URLQueryItems> queryItems, std::optional<QJsonObject> jsonBody) {
    return std::make_shared<TovrinAPIRequest>("PUT", path, std::move(queryItems), std::move(jsonBody));
}

std::shared_ptr<TovrinAPIRequest> TovrinAPIRequest::DELETERequestWithPath(
    const QString& path, std::optional<URLQueryItems> queryItems, std::optional<QJsonObject> jsonBody) {
    return std::make_shared<TovrinAPIRequest>("DELETE", path, std::move(queryItems), std::move(jsonBody));
}

}  // namespace tovrin
