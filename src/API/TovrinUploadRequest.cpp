#include "API/TovrinUploadRequest.h"

namespace tovrin {

TovrinUploadRequest::TovrinUploadRequest(QString HTTPMethod, QString path,
                                         std::optional<URLQueryItems> queryItems,
                                         std::optional<QByteArray> data, QString contentType)
    : HTTPMethod_(std::move(HTTPMethod)),
      path_(std::move(path)),
      queryItems_(std::move(queryItems)),
      data_(std::move(data)),
      contentType_(std::move(contentType)) {}

std::shared_ptr<TovrinUploadRequest> TovrinUploadRequest::POSTRequestWithPath(
    const QString& path, std::optional<URLQueryItems> queryItems, std::optional<QByteArray> data,
    const QString& contentType) {
    return std::make_shared<TovrinUploadRequest>("POST", path, std::move(queryItems), std::move(data),
                                                 contentType);
}

}  // namespace tovrin
