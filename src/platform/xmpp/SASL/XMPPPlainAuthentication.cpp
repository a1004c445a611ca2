#include "platform/xmpp/SASL/XMPPPlainAuthentication.h"

#include "platform/xmpp/XMPPStringPrep.h"

namespace tovrin::xmpp {

XMPPPlainAuthentication::XMPPPlainAuthentication(QString username, QString password)
    : username_(std::move(username)), password_(std::move(password)) {}

XMLElement XMPPPlainAuthentication::start() {
    const auto username = XMPPStringPrep::saslprep(username_);
    const auto password = XMPPStringPrep::saslprep(password_);
    if (!username || !password) return {};
    return authElement('\0' + username->toUtf8() + '\0' + password->toUtf8());
}

XMPPSASLAuthentication::Step XMPPPlainAuthentication::handleChallenge(const QByteArray&) {
    return fail();
}

XMPPSASLAuthentication::Step XMPPPlainAuthentication::handleSuccess(const QByteArray&) {
    return {Outcome::Succeeded, {}};
}

}  // namespace tovrin::xmpp
