#include "platform/xmpp/XMPPJID.h"

#include "platform/xmpp/XMPPStringPrep.h"

namespace tovrin::xmpp {

namespace {

bool fitsPart(const QString& part) {
    const qsizetype length = part.toUtf8().size();
    return length >= 1 && length <= XMPPJID::maximumPartLength;
}

bool isIPv6Literal(const QString& domain) {
    if (domain.size() < 3 || !domain.startsWith('[') || !domain.endsWith(']')) return false;
    for (QChar character : domain.mid(1, domain.size() - 2)) {
        if (!(character.isDigit() || (character.toLower() >= 'a' && character.toLower() <= 'f') ||
              character == ':' || character == '.')) {
            return false;
        }
    }
    return true;
}

// Host names: ASCII letters, digits, hyphens and dots; other scripts pass through nameprep.
bool hasOnlyHostCharacters(const QString& domain) {
    for (QChar character : domain) {
        const ushort code = character.unicode();
        if (code >= 0x80) continue;
        const bool allowed = (code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z') ||
                             (code >= '0' && code <= '9') || code == '-' || code == '.';
        if (!allowed) return false;
    }
    return !domain.startsWith('.') && !domain.contains(QStringLiteral(".."));
}

}  // namespace

std::optional<QString> XMPPJID::prepareDomain(const QString& domain) {
    QString trimmed = domain;
    if (trimmed.endsWith('.')) trimmed.chop(1);
    if (isIPv6Literal(trimmed)) return trimmed.toLower();
    std::optional<QString> prepared = XMPPStringPrep::nameprep(trimmed);
    if (!prepared || !fitsPart(*prepared) || !hasOnlyHostCharacters(*prepared)) return std::nullopt;
    return prepared;
}

std::optional<XMPPJID> XMPPJID::jidWithUser(const QString& user, const QString& domain,
                                            const QString& resource) {
    std::optional<QString> preparedDomain = prepareDomain(domain);
    if (!preparedDomain) return std::nullopt;
    QString preparedUser;
    if (!user.isEmpty()) {
        std::optional<QString> prepared = XMPPStringPrep::nodeprep(user);
        if (!prepared || !fitsPart(*prepared)) return std::nullopt;
        preparedUser = *prepared;
    }
    QString preparedResource;
    if (!resource.isEmpty()) {
        std::optional<QString> prepared = XMPPStringPrep::resourceprep(resource);
        if (!prepared || !fitsPart(*prepared)) return std::nullopt;
        preparedResource = *prepared;
    }
    return XMPPJID(preparedUser, *preparedDomain, preparedResource);
}

std::optional<XMPPJID> XMPPJID::jidWithString(const QString& string) {
    const qsizetype slash = string.indexOf('/');
    const QString beforeResource = slash < 0 ? string : string.left(slash);
    const qsizetype at = beforeResource.indexOf('@');
    const QString user = at < 0 ? QString() : beforeResource.left(at);
    const QString domain = at < 0 ? beforeResource : beforeResource.mid(at + 1);
    const QString resource = slash < 0 ? QString() : string.mid(slash + 1);
    // A separator with nothing after (or before) it is no address.
    if ((at >= 0 && user.isEmpty()) || (slash >= 0 && resource.isEmpty())) return std::nullopt;
    return jidWithUser(user, domain, resource);
}

QString XMPPJID::bare() const {
    return user_.isEmpty() ? domain_ : user_ + '@' + domain_;
}

QString XMPPJID::full() const {
    return resource_.isEmpty() ? bare() : bare() + '/' + resource_;
}

XMPPJID XMPPJID::bareJID() const {
    return XMPPJID(user_, domain_, QString());
}

XMPPJID XMPPJID::domainJID() const {
    return XMPPJID(QString(), domain_, QString());
}

std::optional<XMPPJID> XMPPJID::jidWithNewResource(const QString& resource) const {
    return jidWithUser(user_, domain_, resource);
}

}  // namespace tovrin::xmpp
