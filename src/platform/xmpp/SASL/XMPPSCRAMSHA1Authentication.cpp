#include "platform/xmpp/SASL/XMPPSCRAMSHA1Authentication.h"

#include <QCryptographicHash>
#include <QMap>
#include <QMessageAuthenticationCode>
#include <QPasswordDigestor>
#include <QRandomGenerator>

#include "platform/xmpp/XMPPStringPrep.h"

namespace tovrin::xmpp {

namespace {

QByteArray hmac(const QByteArray& key, const QByteArray& message) {
    return QMessageAuthenticationCode::hash(message, key, QCryptographicHash::Sha1);
}

QByteArray exclusiveOr(QByteArray a, const QByteArray& b) {
    for (qsizetype index = 0; index < a.size() && index < b.size(); ++index)
        a[index] = char(a[index] ^ b[index]);
    return a;
}

// "a=1,b=2" into its attributes; the first of a repeated letter counts.
QMap<char, QByteArray> attributesOf(const QByteArray& message) {
    QMap<char, QByteArray> attributes;
    for (const QByteArray& part : message.split(',')) {
        if (part.size() >= 2 && part[1] == '=' && !attributes.contains(part[0])) {
            attributes.insert(part[0], part.mid(2));
        }
    }
    return attributes;
}

QByteArray escapedUsername(const QString& username) {
    QByteArray utf8 = username.toUtf8();
    return utf8.replace("=", "=3D").replace(",", "=2C");
}

QByteArray randomNonce() {
    QByteArray bytes(18, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    for (qsizetype index = bytes.size() / 4 * 4; index < bytes.size(); ++index) {
        bytes[index] = char(QRandomGenerator::system()->bounded(256));
    }
    return bytes.toBase64();
}

}  // namespace

XMPPSCRAMSHA1Authentication::XMPPSCRAMSHA1Authentication(QString username, QString password,
                                                         QByteArray clientNonce)
    : username_(std::move(username)),
      password_(std::move(password)),
      clientNonce_(clientNonce.isEmpty() ? randomNonce() : std::move(clientNonce)) {}

XMLElement XMPPSCRAMSHA1Authentication::start() {
    const auto username = XMPPStringPrep::saslprep(username_);
    if (!username) return {};
    clientFirstMessageBare_ = "n=" + escapedUsername(*username) + ",r=" + clientNonce_;
    return authElement("n,," + clientFirstMessageBare_);
}

XMPPSASLAuthentication::Step XMPPSCRAMSHA1Authentication::handleChallenge(const QByteArray& data) {
    return hasSentProof_ ? handleServerFinalMessage(data) : handleServerFirstMessage(data);
}

XMPPSASLAuthentication::Step XMPPSCRAMSHA1Authentication::handleServerFirstMessage(
    const QByteArray& message) {
    const QMap<char, QByteArray> attributes = attributesOf(message);
    const QByteArray nonce = attributes.value('r');
    const QByteArray salt = QByteArray::fromBase64(attributes.value('s'));
    bool isNumber = false;
    const int iterations = attributes.value('i').toInt(&isNumber);
    const auto password = XMPPStringPrep::saslprep(password_);
    // A mandatory extension ("m") is one we cannot know; the server's nonce must extend ours.
    if (attributes.contains('m') || !nonce.startsWith(clientNonce_) || nonce.size() <= clientNonce_.size() ||
        salt.isEmpty() || !isNumber || iterations < 1 || iterations > maximumIterationCount || !password) {
        return fail();
    }
    const QByteArray saltedPassword = QPasswordDigestor::deriveKeyPbkdf2(
        QCryptographicHash::Sha1, password->toUtf8(), salt, iterations, 20);
    const QByteArray clientKey = hmac(saltedPassword, "Client Key");
    const QByteArray storedKey = QCryptographicHash::hash(clientKey, QCryptographicHash::Sha1);
    const QByteArray withoutProof = "c=biws,r=" + nonce;
    const QByteArray authMessage = clientFirstMessageBare_ + ',' + message + ',' + withoutProof;
    const QByteArray proof = exclusiveOr(clientKey, hmac(storedKey, authMessage));
    expectedServerSignature_ = hmac(hmac(saltedPassword, "Server Key"), authMessage);
    hasSentProof_ = true;
    return send(responseElement(withoutProof + ",p=" + proof.toBase64()));
}

XMPPSASLAuthentication::Step XMPPSCRAMSHA1Authentication::handleServerFinalMessage(
    const QByteArray& message) {
    const QMap<char, QByteArray> attributes = attributesOf(message);
    const QByteArray signature = QByteArray::fromBase64(attributes.value('v'));
    if (attributes.contains('e') || signature.isEmpty() || signature != expectedServerSignature_)
        return fail();
    hasVerifiedServer_ = true;
    // Some servers send the signature as a challenge and expect an empty response.
    return send(responseElement({}));
}

XMPPSASLAuthentication::Step XMPPSCRAMSHA1Authentication::handleSuccess(const QByteArray& data) {
    if (!hasSentProof_) return fail();
    if (!data.isEmpty()) {
        Step verified = handleServerFinalMessage(data);
        if (verified.outcome == Outcome::Failed) return verified;
    }
    return hasVerifiedServer_ ? Step{Outcome::Succeeded, {}} : fail();
}

}  // namespace tovrin::xmpp
