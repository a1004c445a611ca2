#pragma once

#include <QString>

namespace tovrin {

// The chat server named by the signed-in bootstrap answer. The chat engine uses `host` and
// `domain`; `protocol` and `port` are carried as they came. Immutable.
class ChatServerInfo {
public:
    ChatServerInfo(QString protocol, QString host, quint32 port, QString domain)
        : protocol_(std::move(protocol)), host_(std::move(host)), port_(port), domain_(std::move(domain)) {}

    const QString& protocol() const { return protocol_; }
    const QString& host() const { return host_; }
    quint32 port() const { return port_; }
    const QString& domain() const { return domain_; }

private:
    QString protocol_;
    QString host_;
    quint32 port_;
    QString domain_;
};

}  // namespace tovrin
