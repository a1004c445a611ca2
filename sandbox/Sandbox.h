#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <memory>
#include <optional>
#include <vector>

#include "platform/promise/Promise.h"
#include "sandbox/SandboxOptions.h"

namespace tovrin::sandbox {

class AnswerComposer;
class AnsweringMember;
class HTTPHost;
struct ServiceContext;

// A local Tovrin service with a seeded world, on loopback: the web host (JSON under "/v3/"), the
// media, upload and authentication web hosts, the chat server (ejabberd on its own 127.0.0.N),
// the members the sandbox runs, who answer chats, and an admin interface for tests and demos. Runs
// on the main thread, in its own process (`tovrin-sandbox`) or in a test's.
class Sandbox : public std::enable_shared_from_this<Sandbox> {
public:
    // The device token the client's configuration names, so that push registration runs end to end.
    static inline const QString remoteNotificationDeviceToken =
        QStringLiteral("5a1d0c0ffee0ddba11c0ffee5a1d0c0ffee0ddba11c0ffee5a1d0c0ffee0ddba");

    explicit Sandbox(SandboxOptions options = {});
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    // Seeds the world, listens on every host, starts the chat server and signs in the members the
    // sandbox runs; settles once everything is ready, or fails with the first failure.
    Promise<void> start();
    // Ends the answering members, the chat server and every host: nothing is left running or
    // listening.
    void stop();
    // A new world from the seed, with an empty chat server.
    Promise<void> reset(quint64 seed);

    QUrl webURL() const;
    QUrl mediaURL() const;
    QUrl uploadURL() const;
    QUrl authenticationWebURL() const;
    QUrl adminURL() const;
    QString chatHost() const;
    QString chatDomain() const;
    qint64 chatServerProcessID() const;
    const SandboxOptions& options() const { return options_; }
    std::shared_ptr<ServiceContext> context() const { return context_; }

    // The sandbox's certificate authority (PEM), which signs the chat server's and the secure hosts'
    // certificates.
    static QString certificateAuthorityFile();
    static QByteArray certificateAuthority();
    // The client's configuration for this sandbox: the host address ("TovrinHostURL"), the
    // authority to trust ("TovrinExtraTrustedCAFile") and the device token
    // ("RemoteNotificationDeviceToken"), as a JSON object for `--info`.
    bool writeClientConfiguration(const QString& path) const;

    // Sends a chat message as the member ("text" with the text, "image" with a drawn photo, "map"
    // with the member's position): through the member's own connection when the sandbox runs the
    // member, otherwise through the chat server. The message id; nothing for an unknown member or kind.
    std::optional<QString> sendMessage(const QString& senderID, const QString& targetID, const QString& type,
                                       const QString& text);
    // The secure hosts present their own certificate, or one for another name.
    void presentMatchingCertificate(bool matching);

private:
    bool listen(HTTPHost& host, quint16 port, bool secure);
    void installEndpoints();
    Promise<void> startAnsweringMembers();
    void stopAnsweringMembers();

    SandboxOptions options_;
    std::shared_ptr<ServiceContext> context_;
    std::shared_ptr<AnswerComposer> composer_;
    std::unique_ptr<HTTPHost> webHost_;
    std::unique_ptr<HTTPHost> mediaHost_;
    std::unique_ptr<HTTPHost> uploadHost_;
    std::unique_ptr<HTTPHost> authenticationWebHost_;
    std::unique_ptr<HTTPHost> adminHost_;
    std::vector<std::shared_ptr<AnsweringMember>> answeringMembers_;
};

}  // namespace tovrin::sandbox
