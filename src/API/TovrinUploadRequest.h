#pragma once

#include <memory>

#include "API/TovrinBinaryDataRequest.h"

namespace tovrin {

// A request to the upload host named by the bootstrap answer. Immutable.
class TovrinUploadRequest : public TovrinBinaryDataRequest {
public:
    TovrinUploadRequest(QString HTTPMethod, QString path, std::optional<URLQueryItems> queryItems,
                        std::optional<QByteArray> data, QString contentType);

    static std::shared_ptr<TovrinUploadRequest> POSTRequestWithPath(const QString& path,
                                                                    std::optional<URLQueryItems> queryItems,
                                                                    std::optional<QByteArray> data,
                                                                    const QString& contentType);

    const QString& HTTPMethod() const override { return HTTPMethod_; }
    const QString& path() const override { return path_; }
    const std::optional<URLQueryItems>& queryItems() const override { return queryItems_; }
    TovrinRequestType serviceType() const override { return TovrinRequestTypeUpload; }
    const std::optional<QByteArray>& data() const override { return data_; }
    const QString& contentType() const override { return contentType_; }

private:
    const QString HTTPMethod_;
    const QString path_;
    const std::optional<URLQueryItems> queryItems_;
    const std::optional<QByteArray> data_;
    const QString contentType_;
};

}  // namespace tovrin
