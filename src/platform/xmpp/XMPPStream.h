#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Error.h"
#include "platform/xmpp/MulticastDelegate.h"
#include "platform/xmpp/XMLElement.h"
#include "platform/xmpp/XMPPJID.h"
#include "platform/xmpp/XMPPParser.h"
#include "platform/xmpp/XMPPStreamDelegate.h"
#include "platform/xmpp/XMPPTimerSource.h"

class QSslSocket;

namespace tovrin::xmpp {

class XMPPSASLAuthentication;

inline const QString XMPPStreamErrorDomain = QStringLiteral("XMPPStreamErrorDomain");

enum XMPPStreamErrorCode : qint64 {
    XMPPStreamInvalidState = 1,       // the operation does not fit the stream's state
    XMPPStreamInvalidProperty = 2,    // the own address or host is missing
    XMPPStreamUnsupportedAction = 3,  // the server does not offer what is needed (STARTTLS, a mechanism)
    XMPPStreamSocketError = 4,        // the connection or the TLS handshake failed or broke
    XMPPStreamTimeout = 5,
    XMPPStreamReceivedStreamError = 6,
    XMPPStreamInvalidXML = 7,  // the server sent what the parser refused
    XMPPStreamClosedByServer = 8,
    XMPPStreamBindFailed = 9,
    XMPPStreamServerNotVerified = 10,  // the server could not prove it knows the password
};

// A client connection to an XMPP server over TCP, secured with STARTTLS, signed in with SASL.
// Lives on the main thread; elements may be sent from any thread. Every event reaches the
// delegates on their queues, later than the call that caused it.
class XMPPStream : public std::enable_shared_from_this<XMPPStream>, private XMPPParser::Delegate {
public:
    static constexpr double XMPPStreamTimeoutNone = -1;
    static constexpr quint16 defaultPort = 5222;
    static constexpr double defaultKeepAliveInterval = 120;
    // How long (seconds) a disconnection waits for the server to close its side of the stream.
    static constexpr double closingTimeout = 2;

    // What the client says of itself when a peer asks (service discovery, XEP-0030).
    struct DiscoveryIdentity {
        QString category;
        QString type;
        QString name;
    };
    static DiscoveryIdentity defaultDiscoveryIdentity();
    // Service discovery and chat markers.
    static QStringList defaultDiscoveryFeatures();

    enum class StartTLSPolicy { Preferred, Required };

    explicit XMPPStream(XMPPTimerSource timerSource = defaultXMPPTimerSource());
    ~XMPPStream() override;
    XMPPStream(const XMPPStream&) = delete;
    XMPPStream& operator=(const XMPPStream&) = delete;

    // A null queue is the main queue.
    void addDelegate(const std::weak_ptr<XMPPStreamDelegate>& delegate,
                     const std::shared_ptr<DispatchQueue>& queue);
    void removeDelegate(const XMPPStreamDelegate* delegate);

    // Empty: the domain of the own address.
    const QString& hostName() const { return hostName_; }
    void setHostName(const QString& hostName) { hostName_ = hostName; }
    quint16 hostPort() const { return hostPort_; }
    void setHostPort(quint16 port) { hostPort_ = port; }
    // Before sign-in the address to sign in as; afterwards the address the server bound.
    const std::optional<XMPPJID>& myJID() const { return myJID_; }
    void setMyJID(const std::optional<XMPPJID>& jid) { myJID_ = jid; }
    StartTLSPolicy startTLSPolicy() const { return startTLSPolicy_; }
    void setStartTLSPolicy(StartTLSPolicy policy) { startTLSPolicy_ = policy; }
    // A space is sent after this many seconds without traffic; 0 or less turns it off.
    double keepAliveInterval() const { return keepAliveInterval_; }
    void setKeepAliveInterval(double seconds) { keepAliveInterval_ = seconds; }
    // Certificate authorities (PEM) trusted besides the system's, for a local server.
    const QByteArray& trustedCertificateAuthorities() const { return trustedCertificateAuthorities_; }
    void setTrustedCertificateAuthorities(const QByteArray& pem) { trustedCertificateAuthorities_ = pem; }
    // What new streams start with.
    static void setDefaultTrustedCertificateAuthorities(const QByteArray& pem);
    qsizetype maximumStanzaSize() const { return maximumStanzaSize_; }
    void setMaximumStanzaSize(qsizetype bytes) { maximumStanzaSize_ = bytes; }
    // The answer to a peer's disco#info query, unless a delegate handles the query itself.
    const DiscoveryIdentity& discoveryIdentity() const { return discoveryIdentity_; }
    void setDiscoveryIdentity(const DiscoveryIdentity& identity) { discoveryIdentity_ = identity; }
    const QStringList& discoveryFeatures() const { return discoveryFeatures_; }
    void setDiscoveryFeatures(const QStringList& features) { discoveryFeatures_ = features; }

    // Refused (false, with the reason) unless disconnected, or without an own address.
    bool connectWithTimeout(double timeout, Error* error = nullptr);
    // After the "connected" event; a refusal leaves the stream open for another try.
    bool authenticateWithPassword(const QString& password, Error* error = nullptr);
    void sendElement(const XMLElement& element);
    // Closes the stream as RFC 6120 asks: sends the closing tag, then reads what the server still
    // sends (its last acknowledgement, say) until its own closing tag or `closingTimeout`, and only
    // then lets the socket go. Nothing can be sent meanwhile; the disconnected event ends it.
    void disconnect();

    // Not until the disconnected event of a disconnection that is still closing.
    bool isDisconnected() const { return state_ == State::Disconnected; }
    bool isDisconnecting() const { return state_ == State::Closing; }
    bool isConnecting() const;
    // Open and not in the middle of negotiating, signing in or binding.
    bool isConnected() const { return state_ == State::Connected; }
    bool isAuthenticating() const { return state_ == State::Authenticating || state_ == State::Binding; }
    bool isAuthenticated() const { return isAuthenticated_; }
    bool isSecure() const { return isSecure_; }
    const QString& streamID() const { return streamID_; }
    // The features the server offered last.
    const XMLElement& serverFeatures() const { return features_; }

    static QString generateUUID();

private:
    enum class State {
        Disconnected,
        Connecting,
        Opening,
        StartTLS,
        Connected,
        Authenticating,
        Binding,
        Closing
    };

    void parserDidReadRoot(const XMLElement& root) override;
    void parserDidReadElement(const XMLElement& element) override;
    void parserDidEnd() override;
    void parserDidFail(XMPPParser::Failure failure, const QString& reason) override;

    void makeSocket();
    void openStream();
    void readSocket();
    void socketDidEncrypt();
    void socketDidFail();
    void startTLS();
    void handleFeatures(const XMLElement& features);
    void handleStartTLSAnswer(const XMLElement& element);
    void handleAuthAnswer(const XMLElement& element);
    void handleBindingAnswer(const XMLElement& element);
    void handleStanza(const XMLElement& element);
    void handleIQ(const XMPPIQ& iq);
    XMPPIQ discoveryInfoAnswer(const XMPPIQ& iq) const;
    void startBinding();
    void startSession();
    void finishSignIn();
    std::unique_ptr<XMPPSASLAuthentication> chooseAuthentication(const QString& password) const;
    void refuseSignIn(const XMLElement& failure);

    void writeData(const QByteArray& data);
    void send(const XMLElement& element);
    void reportSendFailure(const XMLElement& element, const Error& error);
    void failWithStreamError(const QString& condition, const Error& error);
    void close(const std::optional<Error>& error);
    void startClosing();
    void startKeepAlive();
    void keepAliveTimerFired();
    void notify(std::function<void(XMPPStreamDelegate&, XMPPStream&)> call);

    State state_ = State::Disconnected;
    MulticastDelegate<XMPPStreamDelegate> multicastDelegate_;
    XMPPTimerSource timerSource_;
    QString hostName_;
    quint16 hostPort_ = defaultPort;
    std::optional<XMPPJID> myJID_;
    StartTLSPolicy startTLSPolicy_ = StartTLSPolicy::Required;
    double keepAliveInterval_ = defaultKeepAliveInterval;
    QByteArray trustedCertificateAuthorities_;
    qsizetype maximumStanzaSize_ = XMPPParser::defaultMaximumStanzaSize;
    DiscoveryIdentity discoveryIdentity_ = defaultDiscoveryIdentity();
    QStringList discoveryFeatures_ = defaultDiscoveryFeatures();

    std::unique_ptr<QSslSocket, void (*)(QSslSocket*)> socket_;
    std::unique_ptr<XMPPParser> parser_;
    std::unique_ptr<XMPPSASLAuthentication> authentication_;
    std::shared_ptr<Timer> connectTimer_;
    std::shared_ptr<Timer> keepAliveTimer_;
    std::shared_ptr<Timer> closingTimer_;
    // Whether stanzas the server sends while the stream closes are still handed on.
    bool readsStanzasWhileClosing_ = false;
    XMLElement features_;
    QString streamID_;
    QString bindID_;
    QString sessionID_;
    bool isSecure_ = false;
    bool isAuthenticated_ = false;
    bool hasOpenedStream_ = false;
    bool hasWrittenSinceKeepAlive_ = false;
};

}  // namespace tovrin::xmpp
