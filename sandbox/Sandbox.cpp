#include "sandbox/Sandbox.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSslCertificate>
#include <QSslKey>

#include "platform/foundation/UUID.h"
#include "sandbox/admin/AdminEndpoints.h"
#include "sandbox/admin/SentMessageReports.h"
#include "sandbox/chat/AnswerComposer.h"
#include "sandbox/chat/AnsweringMember.h"
#include "sandbox/chat/ChatServer.h"
#include "sandbox/chat/ConversationLog.h"
#include "sandbox/http/HTTPHost.h"
#include "sandbox/media/MediaStore.h"
#include "sandbox/service/AccountEndpoints.h"
#include "sandbox/service/AuthenticationWebPages.h"
#include "sandbox/service/ConversationEndpoints.h"
#include "sandbox/service/GridEndpoints.h"
#include "sandbox/service/MediaEndpoints.h"
#include "sandbox/service/Moderator.h"
#include "sandbox/service/NoticeEndpoints.h"
#include "sandbox/service/PhotoEndpoints.h"
#include "sandbox/service/PreferenceEndpoints.h"
#include "sandbox/service/ProfileEndpoints.h"
#include "sandbox/service/ServiceContext.h"
#include "sandbox/service/ServiceError.h"
#include "sandbox/world/World.h"
#include "sandbox/world/WorldSeed.h"

namespace tovrin::sandbox {

namespace {

const QString sandboxErrorDomain = QStringLiteral("Sandbox");

Error failure(const QString& description) {
    return Error(sandboxErrorDomain, 1, {{ErrorDescriptionKey, description}});
}

QByteArray readCertificateFile(const QString& name) {
    QFile file(QStringLiteral(TOVRIN_SANDBOX_CERTIFICATE_DIR "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The secure hosts' TLS: the certificate for 127.0.0.1 and localhost ("web"), or the one for
// another name ("otherhost").
QSslConfiguration tlsConfiguration(const QString& certificate) {
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(QSslCertificate(readCertificateFile(certificate + ".pem")));
    configuration.setPrivateKey(QSslKey(readCertificateFile(certificate + ".key"), QSsl::Rsa));
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    return configuration;
}

QByteArray chatCertificateChain() {
    return readCertificateFile("chat.pem") + readCertificateFile("chat.key") +
           readCertificateFile("authority.pem");
}

HTTPReply pageNotFound() {
    return HTTPReply::html("Not found", "<h1>Not found</h1>", 404);
}

}  // namespace

Sandbox::Sandbox(SandboxOptions options)
    : options_(std::move(options)),
      context_(std::make_shared<ServiceContext>()),
      webHost_(std::make_unique<HTTPHost>("web", errorReply(ServiceError::NotFound))),
      mediaHost_(std::make_unique<HTTPHost>("media", pageNotFound())),
      uploadHost_(std::make_unique<HTTPHost>("upload", errorReply(ServiceError::NotFound))),
      authenticationWebHost_(std::make_unique<HTTPHost>("authenticationWeb", pageNotFound())),
      adminHost_(std::make_unique<HTTPHost>("admin", errorReply(ServiceError::NotFound))) {
    context_->options = options_;
    context_->world = std::make_shared<World>();
    context_->media = std::make_shared<MediaStore>();
    context_->conversations = std::make_shared<ConversationLog>();
    context_->moderator =
        std::make_shared<Moderator>(context_->world, context_->media, options_.moderationDelay);
    composer_ = std::make_shared<AnswerComposer>(context_->world, context_->media);
}

Sandbox::~Sandbox() {
    stop();
}

QString Sandbox::certificateAuthorityFile() {
    return QStringLiteral(TOVRIN_SANDBOX_CERTIFICATE_DIR "/authority.pem");
}

QByteArray Sandbox::certificateAuthority() {
    return readCertificateFile("authority.pem");
}

bool Sandbox::listen(HTTPHost& host, quint16 port, bool secure) {
    host.setLogging(options_.logRequests);
    return host.listenOn(options_.address, port,
                         secure ? std::optional(tlsConfiguration("web")) : std::nullopt);
}

Promise<void> Sandbox::start() {
    WorldSeed::populate(*context_->world, *context_->media, options_);
    if (!listen(*adminHost_, options_.adminPort, false))
        return Promise<void>::rejected(
            failure("The admin port is not free: " + QString::number(options_.adminPort)));
    QUrl reportURL = adminURL();
    reportURL.setPath(SentMessageReports::path);
    context_->chat = std::make_shared<ChatServer>(options_.chatDomain, chatCertificateChain(), reportURL);
    const std::pair<HTTPHost*, quint16> hosts[] = {
        {webHost_.get(), options_.webPort},
        {mediaHost_.get(), options_.mediaPort},
        {uploadHost_.get(), options_.uploadPort},
        {authenticationWebHost_.get(), options_.authenticationWebPort}};
    for (const auto& [host, port] : hosts) {
        if (!listen(*host, port, options_.secure))
            return Promise<void>::rejected(
                failure(QStringLiteral("The %1 port is not free: %2").arg(host->name()).arg(port)));
    }
    context_->webURL = webHost_->url();
    context_->mediaURL = mediaHost_->url();
    context_->uploadURL = uploadHost_->url();
    context_->authenticationWebURL = authenticationWebHost_->url();
    installEndpoints();
    const std::weak_ptr<Sandbox> weakSelf = weak_from_this();
    return context_->chat->start().then([weakSelf] {
        const std::shared_ptr<Sandbox> self = weakSelf.lock();
        return self ? self->startAnsweringMembers() : Promise<void>::rejected(failure("The sandbox stopped"));
    });
}

void Sandbox::installEndpoints() {
    const auto gate = [context = context_](const HTTPRequest& request) { return context->gate(request); };
    webHost_->setGate(gate);
    uploadHost_->setGate(gate);
    AccountEndpoints::install(*webHost_, context_);
    GridEndpoints::install(*webHost_, context_);
    ProfileEndpoints::install(*webHost_, context_);
    PreferenceEndpoints::install(*webHost_, context_);
    NoticeEndpoints::install(*webHost_, context_);
    ConversationEndpoints::install(*webHost_, context_);
    PhotoEndpoints::install(*uploadHost_, context_);
    MediaEndpoints::install(*mediaHost_, context_->media);
    AuthenticationWebPages::install(*authenticationWebHost_);
    AdminEndpoints::install(*adminHost_, weak_from_this(), context_);
    SentMessageReports::install(*adminHost_, context_);
}

Promise<void> Sandbox::startAnsweringMembers() {
    std::vector<Promise<void>> started;
    const QString host = chatHost();
    const QString domain = chatDomain();
    const QByteArray authority = certificateAuthority();
    for (const auto& [profileID, member] : context_->world->members()) {
        if (!member.isAnswering) continue;
        auto answering = std::make_shared<AnsweringMember>(
            profileID,
            [composer = composer_, profileID](const QString& senderID, const ChatBody& received) {
                return composer->answer(profileID, senderID, received);
            },
            options_.answerDelay);
        answeringMembers_.push_back(answering);
        const QString token = member.xmppToken;
        started.push_back(
            context_->chat->setPassword(profileID, token).then([answering, host, domain, token, authority] {
                return answering->start(host, domain, token, authority);
            }));
    }
    return when(started);
}

void Sandbox::stopAnsweringMembers() {
    for (const auto& answering : answeringMembers_) answering->stop();
    answeringMembers_.clear();
}

void Sandbox::stop() {
    stopAnsweringMembers();
    if (context_->chat) context_->chat->stop();
    webHost_.reset();
    mediaHost_.reset();
    uploadHost_.reset();
    authenticationWebHost_.reset();
    adminHost_.reset();
}

Promise<void> Sandbox::reset(quint64 seed) {
    stopAnsweringMembers();
    options_.seed = seed;
    context_->options.seed = seed;
    *context_->world = World();
    context_->media->clear();
    context_->conversations->clear();
    WorldSeed::populate(*context_->world, *context_->media, options_);
    const std::weak_ptr<Sandbox> weakSelf = weak_from_this();
    return context_->chat->restartEmpty().then([weakSelf] {
        const std::shared_ptr<Sandbox> self = weakSelf.lock();
        return self ? self->startAnsweringMembers() : Promise<void>::rejected(failure("The sandbox stopped"));
    });
}

QUrl Sandbox::webURL() const {
    return webHost_ ? webHost_->url() : QUrl();
}

QUrl Sandbox::mediaURL() const {
    return mediaHost_ ? mediaHost_->url() : QUrl();
}

QUrl Sandbox::uploadURL() const {
    return uploadHost_ ? uploadHost_->url() : QUrl();
}

QUrl Sandbox::authenticationWebURL() const {
    return authenticationWebHost_ ? authenticationWebHost_->url() : QUrl();
}

QUrl Sandbox::adminURL() const {
    return adminHost_ ? adminHost_->url() : QUrl();
}

QString Sandbox::chatHost() const {
    return context_->chat ? context_->chat->host() : QString();
}

QString Sandbox::chatDomain() const {
    return options_.chatDomain;
}

qint64 Sandbox::chatServerProcessID() const {
    return context_->chat ? context_->chat->server().processID() : 0;
}

bool Sandbox::writeClientConfiguration(const QString& path) const {
    const QJsonObject configuration{
        {"TovrinHostURL", webURL().toString()},
        {"TovrinExtraTrustedCAFile", certificateAuthorityFile()},
        {"RemoteNotificationDeviceToken", remoteNotificationDeviceToken},
        // The phone stands where the seeded members live.
        {"TovrinFixedLocation", QJsonObject{{"latitude", options_.defaultPosition.latitude},
                                            {"longitude", options_.defaultPosition.longitude}}}};
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(QJsonDocument(configuration).toJson()) > 0;
}

std::optional<QString> Sandbox::sendMessage(const QString& senderID, const QString& targetID,
                                            const QString& type, const QString& text) {
    if (!context_->world->member(targetID)) return std::nullopt;
    const std::optional<ChatBody> content = composer_->compose(senderID, type, text);
    if (!content) return std::nullopt;
    for (const auto& answering : answeringMembers_) {
        if (answering->profileID() == senderID && answering->isOnline())
            return answering->send(targetID, *content);
    }
    ChatBody stamped = *content;
    stamped.timestamp = qint64(Date::now().millisecondsSince1970());
    const QString messageID = makeUUIDString();
    const xmpp::XMPPMessage message =
        ChatStanzas::chatMessage(messageID, senderID, targetID, chatDomain(), stamped);
    context_->chat->sendAs(senderID, message);
    context_->conversations->record(message);
    return messageID;
}

void Sandbox::presentMatchingCertificate(bool matching) {
    const QSslConfiguration configuration = tlsConfiguration(matching ? "web" : "otherhost");
    for (HTTPHost* host :
         {webHost_.get(), mediaHost_.get(), uploadHost_.get(), authenticationWebHost_.get()}) {
        if (host && host->isSecure()) host->setTLSConfiguration(configuration);
    }
}

}  // namespace tovrin::sandbox
