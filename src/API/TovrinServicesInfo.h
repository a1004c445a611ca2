#pragma once

#include <QUrl>

#include "API/ChatServerInfo.h"

namespace tovrin {

// The addresses of the service's hosts for a signed-in member: the configured API host and the
// media, upload and web hosts and chat server the bootstrap answer names. Immutable.
class TovrinServicesInfo {
public:
    TovrinServicesInfo(QUrl apiURL, QUrl mediaURL, QUrl uploadURL, QUrl webURL, ChatServerInfo chatServerInfo)
        : apiURL_(std::move(apiURL)),
          mediaURL_(std::move(mediaURL)),
          uploadURL_(std::move(uploadURL)),
          webURL_(std::move(webURL)),
          chatServerInfo_(std::move(chatServerInfo)) {}

    const QUrl& apiURL() const { return apiURL_; }
    const QUrl& mediaURL() const { return mediaURL_; }
    const QUrl& uploadURL() const { return uploadURL_; }
    const QUrl& webURL() const { return webURL_; }
    const ChatServerInfo& chatServerInfo() const { return chatServerInfo_; }

private:
    QUrl apiURL_;
    QUrl mediaURL_;
    QUrl uploadURL_;
    QUrl webURL_;
    ChatServerInfo chatServerInfo_;
};

}  // namespace tovrin
