#pragma once

#include <QString>
#include <optional>

namespace tovrin::xmpp {

// An XMPP address, user@domain/resource, with every part prepared (nodeprep, nameprep,
// resourceprep) so that two addresses compare equal exactly when they name the same entity.
// Only valid addresses exist: the factories give no value for anything else.
class XMPPJID {
public:
    // Each part is at most this many bytes of UTF-8 once prepared.
    static constexpr int maximumPartLength = 1023;

    static std::optional<XMPPJID> jidWithString(const QString& string);
    static std::optional<XMPPJID> jidWithUser(const QString& user, const QString& domain,
                                              const QString& resource = {});

    const QString& user() const { return user_; }
    const QString& domain() const { return domain_; }
    const QString& resource() const { return resource_; }

    QString bare() const;
    QString full() const;
    XMPPJID bareJID() const;
    XMPPJID domainJID() const;
    std::optional<XMPPJID> jidWithNewResource(const QString& resource) const;

    bool isBare() const { return resource_.isEmpty(); }
    bool isFull() const { return !resource_.isEmpty(); }

    friend bool operator==(const XMPPJID& a, const XMPPJID& b) = default;

private:
    XMPPJID(QString user, QString domain, QString resource)
        : user_(std::move(user)), domain_(std::move(domain)), resource_(std::move(resource)) {}

    static std::optional<QString> prepareDomain(const QString& domain);

    QString user_;
    QString domain_;
    QString resource_;
};

}  // namespace tovrin::xmpp
