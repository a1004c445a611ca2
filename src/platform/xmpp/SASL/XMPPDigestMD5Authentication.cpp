#include "platform/xmpp/SASL/XMPPDigestMD5Authentication.h"

#include <QCryptographicHash>
#include <QMap>
#include <QUuid>

#include "platform/xmpp/XMPPStringPrep.h"

namespace tovrin::xmpp {

namespace {

QByteArray md5(const QByteArray& data) {
    return QCryptographicHash::hash(data, QCryptographicHash::Md5);
}

// key=value and key="quoted, value" pairs separated by commas.
QMap<QByteArray, QByteArray> directivesOf(const QByteArray& text) {
    QMap<QByteArray, QByteArray> directives;
    qsizetype index = 0;
    while (index < text.size()) {
        while (index < text.size() && (text[index] == ',' || text[index] == ' ')) ++index;
        const qsizetype equals = text.indexOf('=', index);
        if (equals < 0) break;
        const QByteArray key = text.mid(index, equals - index).trimmed();
        QByteArray value;
        index = equals + 1;
        if (index < text.size() && text[index] == '"') {
            for (++index; index < text.size() && text[index] != '"'; ++index) {
                if (text[index] == '\\' && index + 1 < text.size()) ++index;
                value += text[index];
            }
            ++index;
        } else {
            const qsizetype comma = text.indexOf(',', index);
            const qsizetype end = comma < 0 ? text.size() : comma;
            value = text.mid(index, end - index).trimmed();
            index = end;
        }
        if (!directives.contains(key)) directives.insert(key, value);
    }
    return directives;
}

QByteArray quoted(const QByteArray& value) {
    QByteArray escaped = value;
    escaped.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + escaped + '"';
}

}  // namespace

XMPPDigestMD5Authentication::XMPPDigestMD5Authentication(QString username, QString password, QString domain,
                                                         QByteArray clientNonce, QByteArray service)
    : username_(std::move(username)),
      password_(std::move(password)),
      domain_(std::move(domain)),
      clientNonce_(clientNonce.isEmpty() ? QUuid::createUuid().toByteArray(QUuid::Id128)
                                         : std::move(clientNonce)),
      service_(std::move(service)) {}

XMLElement XMPPDigestMD5Authentication::start() {
    return authElement({});
}

XMPPSASLAuthentication::Step XMPPDigestMD5Authentication::handleChallenge(const QByteArray& data) {
    const QMap<QByteArray, QByteArray> directives = directivesOf(data);
    if (hasAnswered_) return checkServerResponse(directives.value("rspauth"));
    return answerFirstChallenge(directives);
}

XMPPSASLAuthentication::Step XMPPDigestMD5Authentication::answerFirstChallenge(
    const QMap<QByteArray, QByteArray>& challenge) {
    const auto username = XMPPStringPrep::saslprep(username_);
    const auto password = XMPPStringPrep::saslprep(password_);
    const QList<QByteArray> qop = challenge.value("qop", "auth").split(',');
    nonce_ = challenge.value("nonce");
    if (!username || !password || nonce_.isEmpty() || !qop.contains("auth")) return fail();
    realm_ = challenge.value("realm", domain_.toUtf8());
    digestURI_ = service_ + '/' + domain_.toUtf8();
    const QByteArray secret = md5(username->toUtf8() + ':' + realm_ + ':' + password->toUtf8());
    const QByteArray a1 = secret + ':' + nonce_ + ':' + clientNonce_;
    const QByteArray ha1 = md5(a1).toHex();
    auto response = [&](const QByteArray& a2Prefix) {
        const QByteArray ha2 = md5(a2Prefix + ':' + digestURI_).toHex();
        return md5(ha1 + ':' + nonce_ + ":00000001:" + clientNonce_ + ":auth:" + ha2).toHex();
    };
    hasAnswered_ = true;
    expectedResponseAuth_ = response({});
    const QByteArray answer = "username=" + quoted(username->toUtf8()) + ",realm=" + quoted(realm_) +
                              ",nonce=" + quoted(nonce_) + ",cnonce=" + quoted(clientNonce_) +
                              ",nc=00000001,qop=auth,digest-uri=" + quoted(digestURI_) +
                              ",response=" + response("AUTHENTICATE") + ",charset=utf-8";
    return send(responseElement(answer));
}

XMPPSASLAuthentication::Step XMPPDigestMD5Authentication::checkServerResponse(
    const QByteArray& responseAuth) {
    if (responseAuth.isEmpty() || responseAuth != expectedResponseAuth_) return fail();
    hasVerifiedServer_ = true;
    return send(responseElement({}));
}

XMPPSASLAuthentication::Step XMPPDigestMD5Authentication::handleSuccess(const QByteArray& data) {
    if (!hasAnswered_) return fail();
    if (!data.isEmpty()) {
        Step verified = checkServerResponse(directivesOf(data).value("rspauth"));
        if (verified.outcome == Outcome::Failed) return verified;
    }
    return hasVerifiedServer_ ? Step{Outcome::Succeeded, {}} : fail();
}

}  // namespace tovrin::xmpp
