#include "platform/xmpp/XMPPStream.h"

#include <QCoreApplication>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>
#include <mutex>

#include "platform/foundation/MainQueue.h"
#include "platform/foundation/UUID.h"
#include "platform/xmpp/SASL/XMPPDigestMD5Authentication.h"
#include "platform/xmpp/SASL/XMPPLegacyAuthentication.h"
#include "platform/xmpp/SASL/XMPPPlainAuthentication.h"
#include "platform/xmpp/SASL/XMPPSCRAMSHA1Authentication.h"
#include "platform/xmpp/XEP-0333/XMPPMessage+ChatMarkers.h"
#include "platform/xmpp/XMPPNamespaces.h"

namespace tovrin::xmpp {

namespace {

std::mutex defaultsMutex;
QByteArray defaultTrustedCertificateAuthorities;

Error streamError(XMPPStreamErrorCode code, const QString& description) {
    return Error(XMPPStreamErrorDomain, code, {{ErrorDescriptionKey, description}});
}

// A peer that never lets go gets this long (milliseconds) to take the last bytes.
constexpr int closingGrace = 5000;

void dropSocket(QSslSocket* socket) {
    if (socket == nullptr) return;
    QObject::disconnect(socket, nullptr, nullptr, nullptr);
    // Closing writes what is still buffered (the stream's closing tag) before the socket goes.
    socket->disconnectFromHost();
    if (socket->state() == QAbstractSocket::UnconnectedState) {
        socket->deleteLater();
        return;
    }
    // Until then the application object owns it, so it goes at the latest with the application.
    socket->setParent(QCoreApplication::instance());
    QObject::connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QAbstractSocket::errorOccurred, socket, &QObject::deleteLater);
    auto* grace = new QTimer(socket);
    grace->setSingleShot(true);
    QObject::connect(grace, &QTimer::timeout, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    grace->start(closingGrace);
}

// A reference for delegates on other queues: the stream, its socket and its timers belong to the
// main thread, so the last reference is always let go there.
std::shared_ptr<XMPPStream> releasedOnMainThread(std::shared_ptr<XMPPStream> stream) {
    XMPPStream* const pointer = stream.get();
    return std::shared_ptr<XMPPStream>(pointer, [keep = std::move(stream)](XMPPStream*) mutable {
        // Once the application object is gone, so is the main queue: the process is ending.
        if (MainQueue::isMainThread() || QCoreApplication::instance() == nullptr) {
            keep.reset();
        } else {
            MainQueue::async([last = std::move(keep)] {});
        }
    });
}

XMLElement saslFailure(const QString& condition) {
    XMLElement failure(QStringLiteral("failure"), XMPPSASLNamespace);
    failure.addChild(XMLElement(condition));
    return failure;
}

XMPPIQ answerTo(const XMPPIQ& iq, const QString& type, const XMLElement& child) {
    XMPPIQ answer(type, std::nullopt, iq.elementID(), child);
    if (!iq.fromStr().isEmpty()) answer.addAttributeWithName(QStringLiteral("to"), iq.fromStr());
    return answer;
}

XMPPIQ errorAnswer(const XMPPIQ& iq, const QString& condition) {
    XMLElement error(QStringLiteral("error"));
    error.addAttributeWithName(QStringLiteral("type"), QStringLiteral("cancel"));
    error.addChild(XMLElement(condition, XMPPStanzaErrorsNamespace));
    return answerTo(iq, QStringLiteral("error"), error);
}

bool isDiscoveryInfoQuery(const XMPPIQ& iq) {
    const XMLElement query = iq.childElement();
    return iq.isGetIQ() && query.name() == QLatin1String("query") &&
           query.xmlns() == XMPPDiscoveryInfoNamespace;
}

QStringList offeredMechanisms(const XMLElement& features) {
    QStringList names;
    const XMLElement mechanisms = features.elementForName(QStringLiteral("mechanisms"), XMPPSASLNamespace);
    for (const XMLElement& mechanism : mechanisms.elementsForName(QStringLiteral("mechanism"))) {
        names.append(mechanism.stringValue().trimmed());
    }
    return names;
}

}  // namespace

XMPPStream::XMPPStream(XMPPTimerSource timerSource)
    : timerSource_(std::move(timerSource)), socket_(nullptr, dropSocket) {
    std::lock_guard lock(defaultsMutex);
    trustedCertificateAuthorities_ = defaultTrustedCertificateAuthorities;
}

XMPPStream::~XMPPStream() = default;

XMPPStream::DiscoveryIdentity XMPPStream::defaultDiscoveryIdentity() {
    return {QStringLiteral("client"), QStringLiteral("phone"), QStringLiteral("Tovrin")};
}

QStringList XMPPStream::defaultDiscoveryFeatures() {
    return {XMPPDiscoveryInfoNamespace, XMPPChatMarkersNamespace};
}

void XMPPStream::setDefaultTrustedCertificateAuthorities(const QByteArray& pem) {
    std::lock_guard lock(defaultsMutex);
    defaultTrustedCertificateAuthorities = pem;
}

void XMPPStream::addDelegate(const std::weak_ptr<XMPPStreamDelegate>& delegate,
                             const std::shared_ptr<DispatchQueue>& queue) {
    multicastDelegate_.addDelegate(delegate, queue);
}

void XMPPStream::removeDelegate(const XMPPStreamDelegate* delegate) {
    multicastDelegate_.removeDelegate(delegate);
}

QString XMPPStream::generateUUID() {
    return makeUUIDString();
}

bool XMPPStream::isConnecting() const {
    return state_ == State::Connecting || state_ == State::Opening || state_ == State::StartTLS;
}

void XMPPStream::notify(std::function<void(XMPPStreamDelegate&, XMPPStream&)> call) {
    // The pending call keeps the stream alive until every delegate has had it.
    multicastDelegate_.invoke([self = releasedOnMainThread(shared_from_this()), call = std::move(call)](
                                  XMPPStreamDelegate& delegate) { call(delegate, *self); });
}

bool XMPPStream::connectWithTimeout(double timeout, Error* error) {
    TVR_ASSERT(MainQueue::isMainThread(), "The stream connects on the main thread");
    if (state_ != State::Disconnected) {
        if (error)
            *error = streamError(XMPPStreamInvalidState, QStringLiteral("Already connected or connecting"));
        return false;
    }
    if (!myJID_) {
        if (error) *error = streamError(XMPPStreamInvalidProperty, QStringLiteral("No own address"));
        return false;
    }
    state_ = State::Connecting;
    isSecure_ = false;
    isAuthenticated_ = false;
    hasOpenedStream_ = false;
    features_ = {};
    makeSocket();
    if (timeout > 0) {
        std::weak_ptr<XMPPStream> weak = weak_from_this();
        connectTimer_ = timerSource_(timeout, false, [weak](Timer&) {
            auto self = weak.lock();
            if (self && self->isConnecting())
                self->close(streamError(XMPPStreamTimeout, QStringLiteral("Timed out")));
        });
    }
    socket_->connectToHost(hostName_.isEmpty() ? myJID_->domain() : hostName_, hostPort_);
    return true;
}

void XMPPStream::makeSocket() {
    socket_.reset(new QSslSocket());
    QSslSocket* socket = socket_.get();
    // The socket goes with the stream, so these connections never outlive it.
    QObject::connect(socket, &QAbstractSocket::connected, socket, [this] { openStream(); });
    QObject::connect(socket, &QIODevice::readyRead, socket, [this] { readSocket(); });
    QObject::connect(socket, &QSslSocket::encrypted, socket, [this] { socketDidEncrypt(); });
    QObject::connect(socket, &QAbstractSocket::errorOccurred, socket, [this] { socketDidFail(); });
    QObject::connect(socket, &QAbstractSocket::disconnected, socket, [this] { socketDidFail(); });
}

void XMPPStream::openStream() {
    state_ = state_ == State::Connecting ? State::Opening : state_;
    parser_ = std::make_unique<XMPPParser>(static_cast<XMPPParser::Delegate&>(*this), maximumStanzaSize_);
    QByteArray header = "<?xml version='1.0'?><stream:stream to='" + myJID_->domain().toUtf8() + "'";
    // Prepared addresses hold no quote, ampersand or angle bracket.
    if (isSecure_) header += " from='" + myJID_->bare().toUtf8() + "'";
    header +=
        " version='1.0' xml:lang='en' xmlns='jabber:client' xmlns:stream='http://etherx.jabber.org/streams'>";
    hasOpenedStream_ = true;
    writeData(header);
}

void XMPPStream::readSocket() {
    // A parser event may close the stream and drop the socket; this function is then left at once.
    std::shared_ptr<XMPPStream> self = shared_from_this();
    while (socket_ && parser_ && socket_->bytesAvailable() > 0) {
        const QByteArray data = socket_->readAll();
        if (!parser_->parseData(data)) return;
    }
}

void XMPPStream::socketDidEncrypt() {
    isSecure_ = true;
    notify([](XMPPStreamDelegate& delegate, XMPPStream& stream) { delegate.xmppStreamDidSecure(stream); });
    openStream();
}

void XMPPStream::socketDidFail() {
    if (state_ == State::Disconnected) return;
    if (state_ == State::Closing) {
        close(std::nullopt);
        return;
    }
    const QString reason = socket_ ? socket_->errorString() : QString();
    close(streamError(XMPPStreamSocketError, reason));
}

void XMPPStream::parserDidReadRoot(const XMLElement& root) {
    if (root.name() != QLatin1String("stream") || root.xmlns() != XMPPStreamNamespace ||
        !root.attributeStringValueForName(QStringLiteral("version")).startsWith(QLatin1String("1."))) {
        failWithStreamError(QStringLiteral("unsupported-version"),
                            streamError(XMPPStreamInvalidXML, QStringLiteral("Not an XMPP 1.0 stream")));
        return;
    }
    streamID_ = root.attributeStringValueForName(QStringLiteral("id"));
}

void XMPPStream::parserDidReadElement(const XMLElement& element) {
    // Closing, the stream only reads on to the server's end; a stream error just ends it sooner.
    if (state_ == State::Closing && element.xmlns() == XMPPStreamNamespace) {
        if (element.name() == QLatin1String("error")) close(std::nullopt);
        return;
    }
    if (element.xmlns() == XMPPStreamNamespace) {
        if (element.name() == QLatin1String("features")) {
            handleFeatures(element);
        } else if (element.name() == QLatin1String("error")) {
            notify([element](XMPPStreamDelegate& delegate, XMPPStream& stream) {
                delegate.xmppStreamDidReceiveError(stream, element);
            });
            close(streamError(XMPPStreamReceivedStreamError, element.compactXMLString()));
        }
        return;
    }
    switch (state_) {
        case State::StartTLS:
            handleStartTLSAnswer(element);
            break;
        case State::Authenticating:
            handleAuthAnswer(element);
            break;
        case State::Binding:
            handleBindingAnswer(element);
            break;
        case State::Connected:
            handleStanza(element);
            break;
        case State::Closing:
            if (readsStanzasWhileClosing_) handleStanza(element);
            break;
        default:
            break;
    }
}

void XMPPStream::parserDidEnd() {
    if (state_ == State::Closing) {
        close(std::nullopt);
        return;
    }
    close(streamError(XMPPStreamClosedByServer, QStringLiteral("The server closed the stream")));
}

void XMPPStream::parserDidFail(XMPPParser::Failure failure, const QString& reason) {
    if (state_ == State::Closing) {
        close(std::nullopt);
        return;
    }
    failWithStreamError(XMPPParser::conditionForFailure(failure), streamError(XMPPStreamInvalidXML, reason));
}

void XMPPStream::handleFeatures(const XMLElement& features) {
    features_ = features;
    if (!isSecure_) {
        if (!features.elementForName(QStringLiteral("starttls"), XMPPTLSNamespace).isNull()) {
            state_ = State::StartTLS;
            send(XMLElement(QStringLiteral("starttls"), XMPPTLSNamespace));
            return;
        }
        if (startTLSPolicy_ == StartTLSPolicy::Required) {
            close(streamError(XMPPStreamUnsupportedAction,
                              QStringLiteral("The server does not offer STARTTLS")));
            return;
        }
    }
    if (state_ == State::Binding) {
        startBinding();
        return;
    }
    state_ = State::Connected;
    connectTimer_.reset();
    startKeepAlive();
    notify([](XMPPStreamDelegate& delegate, XMPPStream& stream) { delegate.xmppStreamDidConnect(stream); });
}

void XMPPStream::handleStartTLSAnswer(const XMLElement& element) {
    if (element.name() == QLatin1String("proceed") && element.xmlns() == XMPPTLSNamespace) {
        startTLS();
    } else {
        close(streamError(XMPPStreamSocketError, QStringLiteral("The server refused STARTTLS")));
    }
}

void XMPPStream::startTLS() {
    QSslConfiguration configuration = socket_->sslConfiguration();
    QList<QSslCertificate> authorities = QSslConfiguration::systemCaCertificates();
    if (!trustedCertificateAuthorities_.isEmpty()) {
        authorities += QSslCertificate::fromData(trustedCertificateAuthorities_, QSsl::Pem);
    }
    configuration.setCaCertificates(authorities);
    socket_->setSslConfiguration(configuration);
    // The certificate must name the service's domain, whatever host serves it.
    socket_->setPeerVerifyName(myJID_->domain());
    // Data after <proceed/> belongs to TLS; the old parser reads nothing more.
    parser_.reset();
    socket_->startClientEncryption();
}

bool XMPPStream::authenticateWithPassword(const QString& password, Error* error) {
    TVR_ASSERT(MainQueue::isMainThread(), "The stream signs in on the main thread");
    if (state_ != State::Connected || isAuthenticated_) {
        if (error)
            *error =
                streamError(XMPPStreamInvalidState, QStringLiteral("Not connected, or signed in already"));
        return false;
    }
    authentication_ = chooseAuthentication(password);
    if (!authentication_) {
        refuseSignIn(saslFailure(QStringLiteral("invalid-mechanism")));
        if (error)
            *error = streamError(XMPPStreamUnsupportedAction, QStringLiteral("No usable sign-in mechanism"));
        return false;
    }
    const XMLElement first = authentication_->start();
    if (!first) {
        authentication_.reset();
        refuseSignIn(saslFailure(QStringLiteral("malformed-request")));
        if (error)
            *error =
                streamError(XMPPStreamUnsupportedAction, QStringLiteral("Unusable user name or password"));
        return false;
    }
    state_ = State::Authenticating;
    send(first);
    return true;
}

std::unique_ptr<XMPPSASLAuthentication> XMPPStream::chooseAuthentication(const QString& password) const {
    const QStringList offered = offeredMechanisms(features_);
    const QString user = myJID_->user();
    if (offered.contains(QLatin1String("SCRAM-SHA-1"))) {
        return std::make_unique<XMPPSCRAMSHA1Authentication>(user, password);
    }
    if (offered.contains(QLatin1String("DIGEST-MD5"))) {
        return std::make_unique<XMPPDigestMD5Authentication>(user, password, myJID_->domain());
    }
    // The password itself never crosses an unencrypted connection.
    if (offered.contains(QLatin1String("PLAIN")) && isSecure_) {
        return std::make_unique<XMPPPlainAuthentication>(user, password);
    }
    const bool offersLegacy =
        !features_.elementForName(QStringLiteral("auth"), XMPPLegacyAuthFeatureNamespace).isNull();
    if (offersLegacy && isSecure_) {
        const QString resource = myJID_->resource().isEmpty() ? generateUUID() : myJID_->resource();
        return std::make_unique<XMPPLegacyAuthentication>(user, password, resource, streamID_);
    }
    return nullptr;
}

void XMPPStream::handleAuthAnswer(const XMLElement& element) {
    const XMPPSASLAuthentication::Step step = authentication_->handleAuth(element);
    if (step.response) send(step.response);
    switch (step.outcome) {
        case XMPPSASLAuthentication::Outcome::Continue:
            return;
        case XMPPSASLAuthentication::Outcome::Failed: {
            const bool serverSaidSuccess = element.name() == QLatin1String("success");
            state_ = State::Connected;
            authentication_.reset();
            refuseSignIn(serverSaidSuccess ? saslFailure(QStringLiteral("not-authorized")) : element);
            // The server believes we are signed in, but it never proved it knows the password.
            if (serverSaidSuccess) {
                close(
                    streamError(XMPPStreamServerNotVerified, QStringLiteral("The server was not verified")));
            }
            return;
        }
        case XMPPSASLAuthentication::Outcome::Succeeded:
            if (authentication_->needsResourceBinding()) {
                state_ = State::Binding;
                openStream();
            } else {
                finishSignIn();
            }
            authentication_.reset();
            return;
    }
}

void XMPPStream::refuseSignIn(const XMLElement& failure) {
    notify([failure](XMPPStreamDelegate& delegate, XMPPStream& stream) {
        delegate.xmppStreamDidNotAuthenticate(stream, failure);
    });
}

void XMPPStream::startBinding() {
    const XMLElement bindFeature = features_.elementForName(QStringLiteral("bind"), XMPPBindNamespace);
    if (bindFeature.isNull()) {
        close(streamError(XMPPStreamBindFailed, QStringLiteral("The server offers no resource binding")));
        return;
    }
    XMLElement bind(QStringLiteral("bind"), XMPPBindNamespace);
    if (!myJID_->resource().isEmpty()) {
        bind.addChild(XMLElement::elementWithName(QStringLiteral("resource"), myJID_->resource()));
    }
    bindID_ = generateUUID();
    send(XMPPIQ::iqWithType(QStringLiteral("set"), bindID_, bind));
}

void XMPPStream::handleBindingAnswer(const XMLElement& element) {
    const XMPPIQ iq(element);
    const bool isBindAnswer = iq.isIQ() && !bindID_.isEmpty() && iq.elementID() == bindID_;
    const bool isSessionAnswer = iq.isIQ() && !sessionID_.isEmpty() && iq.elementID() == sessionID_;
    if (!isBindAnswer && !isSessionAnswer) return;
    if (!iq.isResultIQ()) {
        close(streamError(XMPPStreamBindFailed, iq.compactXMLString()));
        return;
    }
    if (isSessionAnswer) {
        finishSignIn();
        return;
    }
    bindID_.clear();
    const QString bound = iq.childElement().elementForName(QStringLiteral("jid")).stringValue().trimmed();
    if (auto jid = XMPPJID::jidWithString(bound)) myJID_ = jid;
    startSession();
}

// The session is only needed where a server still asks for it (RFC 3921).
void XMPPStream::startSession() {
    const XMLElement session = features_.elementForName(QStringLiteral("session"), XMPPSessionNamespace);
    if (session.isNull() || !session.elementForName(QStringLiteral("optional")).isNull()) {
        finishSignIn();
        return;
    }
    sessionID_ = generateUUID();
    send(XMPPIQ::iqWithType(QStringLiteral("set"), sessionID_,
                            XMLElement(QStringLiteral("session"), XMPPSessionNamespace)));
}

void XMPPStream::finishSignIn() {
    sessionID_.clear();
    isAuthenticated_ = true;
    state_ = State::Connected;
    notify(
        [](XMPPStreamDelegate& delegate, XMPPStream& stream) { delegate.xmppStreamDidAuthenticate(stream); });
}

void XMPPStream::handleStanza(const XMLElement& element) {
    const XMPPElement stanza(element);
    if (stanza.isMessage()) {
        notify([message = XMPPMessage(element)](XMPPStreamDelegate& delegate, XMPPStream& stream) {
            delegate.xmppStreamDidReceiveMessage(stream, message);
        });
    } else if (stanza.isPresence()) {
        notify([presence = XMPPPresence(element)](XMPPStreamDelegate& delegate, XMPPStream& stream) {
            delegate.xmppStreamDidReceivePresence(stream, presence);
        });
    } else if (stanza.isIQ()) {
        handleIQ(XMPPIQ(element));
    } else {
        notify([element](XMPPStreamDelegate& delegate, XMPPStream& stream) {
            delegate.xmppStreamDidReceiveCustomElement(stream, element);
        });
    }
}

void XMPPStream::handleIQ(const XMPPIQ& iq) {
    std::shared_ptr<XMPPStream> self = releasedOnMainThread(shared_from_this());
    multicastDelegate_.invokeAsking(
        [self, iq](XMPPStreamDelegate& delegate) { return delegate.xmppStreamDidReceiveIQ(*self, iq); },
        [weak = weak_from_this(), iq](bool handled) {
            auto stream = weak.lock();
            if (!stream || handled || !iq.requiresResponse()) return;
            // Peers ask what the client supports before they send it chat markers.
            stream->sendElement(isDiscoveryInfoQuery(iq)
                                    ? stream->discoveryInfoAnswer(iq)
                                    : errorAnswer(iq, QStringLiteral("service-unavailable")));
        });
}

XMPPIQ XMPPStream::discoveryInfoAnswer(const XMPPIQ& iq) const {
    // The client has no nodes of its own.
    const std::optional<QString> node = iq.childElement().attribute(QStringLiteral("node"));
    if (node && !node->isEmpty()) return errorAnswer(iq, QStringLiteral("item-not-found"));
    XMLElement query(QStringLiteral("query"), XMPPDiscoveryInfoNamespace);
    XMLElement identity(QStringLiteral("identity"));
    identity.addAttributeWithName(QStringLiteral("category"), discoveryIdentity_.category);
    identity.addAttributeWithName(QStringLiteral("type"), discoveryIdentity_.type);
    if (!discoveryIdentity_.name.isEmpty())
        identity.addAttributeWithName(QStringLiteral("name"), discoveryIdentity_.name);
    query.addChild(identity);
    for (const QString& var : discoveryFeatures_) {
        XMLElement feature(QStringLiteral("feature"));
        feature.addAttributeWithName(QStringLiteral("var"), var);
        query.addChild(feature);
    }
    return answerTo(iq, QStringLiteral("result"), query);
}

void XMPPStream::sendElement(const XMLElement& element) {
    if (!MainQueue::isMainThread()) {
        MainQueue::async([self = shared_from_this(), element] { self->sendElement(element); });
        return;
    }
    if (state_ != State::Connected) {
        reportSendFailure(element,
                          streamError(XMPPStreamInvalidState, QStringLiteral("The stream is not connected")));
        return;
    }
    send(element);
}

void XMPPStream::send(const XMLElement& element) {
    writeData(element.compactXMLData());
    const XMPPElement stanza(element);
    if (stanza.isMessage()) {
        notify([message = XMPPMessage(element)](XMPPStreamDelegate& delegate, XMPPStream& stream) {
            delegate.xmppStreamDidSendMessage(stream, message);
        });
    } else if (stanza.isPresence()) {
        notify([presence = XMPPPresence(element)](XMPPStreamDelegate& delegate, XMPPStream& stream) {
            delegate.xmppStreamDidSendPresence(stream, presence);
        });
    } else if (stanza.isIQ()) {
        notify([iq = XMPPIQ(element)](XMPPStreamDelegate& delegate, XMPPStream& stream) {
            delegate.xmppStreamDidSendIQ(stream, iq);
        });
    } else {
        notify([element](XMPPStreamDelegate& delegate, XMPPStream& stream) {
            delegate.xmppStreamDidSendCustomElement(stream, element);
        });
    }
}

void XMPPStream::reportSendFailure(const XMLElement& element, const Error& error) {
    const XMPPElement stanza(element);
    if (stanza.isMessage()) {
        notify([message = XMPPMessage(element), error](XMPPStreamDelegate& delegate, XMPPStream& stream) {
            delegate.xmppStreamDidFailToSendMessage(stream, message, error);
        });
    } else if (stanza.isPresence()) {
        notify([presence = XMPPPresence(element), error](XMPPStreamDelegate& delegate, XMPPStream& stream) {
            delegate.xmppStreamDidFailToSendPresence(stream, presence, error);
        });
    } else if (stanza.isIQ()) {
        notify([iq = XMPPIQ(element), error](XMPPStreamDelegate& delegate, XMPPStream& stream) {
            delegate.xmppStreamDidFailToSendIQ(stream, iq, error);
        });
    }
}

void XMPPStream::writeData(const QByteArray& data) {
    if (!socket_) return;
    socket_->write(data);
    hasWrittenSinceKeepAlive_ = true;
}

void XMPPStream::failWithStreamError(const QString& condition, const Error& error) {
    if (state_ == State::Closing) {
        close(std::nullopt);
        return;
    }
    writeData("<stream:error><" + condition.toUtf8() + " xmlns='" + XMPPStreamErrorsNamespace.toUtf8() +
              "'/></stream:error>");
    close(error);
}

void XMPPStream::disconnect() {
    TVR_ASSERT(MainQueue::isMainThread(), "The stream disconnects on the main thread");
    if (state_ == State::Disconnected || state_ == State::Closing) return;
    notify([](XMPPStreamDelegate& delegate, XMPPStream& stream) {
        delegate.xmppStreamWasToldToDisconnect(stream);
    });
    const bool serverCanAnswer =
        hasOpenedStream_ && parser_ && socket_ && socket_->state() == QAbstractSocket::ConnectedState;
    if (serverCanAnswer) {
        startClosing();
    } else {
        close(std::nullopt);
    }
}

// The server answers our closing tag with what it still had to say and its own closing tag; a
// server that stays silent is left after `closingTimeout`.
void XMPPStream::startClosing() {
    readsStanzasWhileClosing_ = state_ == State::Connected;
    writeData("</stream:stream>");
    state_ = State::Closing;
    hasOpenedStream_ = false;
    isAuthenticated_ = false;
    authentication_.reset();
    connectTimer_.reset();
    keepAliveTimer_.reset();
    std::weak_ptr<XMPPStream> weak = weak_from_this();
    closingTimer_ = timerSource_(closingTimeout, false, [weak](Timer&) {
        auto self = weak.lock();
        if (self && self->state_ == State::Closing) self->close(std::nullopt);
    });
}

void XMPPStream::close(const std::optional<Error>& error) {
    if (state_ == State::Disconnected) return;
    if (hasOpenedStream_ && socket_ && socket_->state() == QAbstractSocket::ConnectedState) {
        writeData("</stream:stream>");
    }
    state_ = State::Disconnected;
    isAuthenticated_ = false;
    isSecure_ = false;
    hasOpenedStream_ = false;
    authentication_.reset();
    connectTimer_.reset();
    keepAliveTimer_.reset();
    closingTimer_.reset();
    readsStanzasWhileClosing_ = false;
    bindID_.clear();
    sessionID_.clear();
    // Parsing may be under way further up the stack; the parser copes with going away.
    parser_.reset();
    socket_.reset();
    notify([error](XMPPStreamDelegate& delegate, XMPPStream& stream) {
        delegate.xmppStreamDidDisconnect(stream, error);
    });
}

void XMPPStream::startKeepAlive() {
    keepAliveTimer_.reset();
    if (keepAliveInterval_ <= 0) return;
    hasWrittenSinceKeepAlive_ = false;
    std::weak_ptr<XMPPStream> weak = weak_from_this();
    keepAliveTimer_ = timerSource_(keepAliveInterval_, true, [weak](Timer&) {
        if (auto self = weak.lock()) self->keepAliveTimerFired();
    });
}

void XMPPStream::keepAliveTimerFired() {
    if (state_ == State::Disconnected) return;
    if (!hasWrittenSinceKeepAlive_) writeData(" ");
    hasWrittenSinceKeepAlive_ = false;
}

}  // namespace tovrin::xmpp
