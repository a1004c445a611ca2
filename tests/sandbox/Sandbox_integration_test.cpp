#include "sandbox/Sandbox.h"

#include <signal.h>

#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <cerrno>

#include "LaunchConfiguration.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileManager.h"
#include "sandbox/SandboxTestSupport.h"
#include "sandbox/chat/ChatTestSupport.h"

namespace tovrin {
namespace {

using test::SandboxTest;

bool canListenOn(const QString& address, quint16 port) {
    QTcpServer probe;
    return probe.listen(QHostAddress(address), port);
}

QString captured(const QString& text, const char* pattern) {
    return QRegularExpression(QString::fromLatin1(pattern)).match(text).captured(1);
}

TEST(SandboxProgramTest, StartsReadyAndStopsLeavingNoProcessAndNoPortBehind) {
    QTemporaryDir folder;
    const QString infoFile = folder.filePath("info.json");
    QProcess program;
    program.start(QStringLiteral(TOVRIN_SANDBOX_EXECUTABLE),
                  {"--any-ports", "--members", "20", "--info", infoFile});
    QString output;
    ASSERT_TRUE(test::runUntil(
        [&] {
            output += QString::fromUtf8(program.readAllStandardOutput());
            return output.contains("Press Ctrl-C to stop.") || program.state() == QProcess::NotRunning;
        },
        test::sandboxPatience))
        << output.toStdString();
    ASSERT_TRUE(output.contains("Tovrin sandbox is ready."))
        << output.toStdString() << program.readAllStandardError().toStdString();
    const QUrl web(captured(output, "web service +(\\S+)"));
    const QUrl admin(captured(output, "admin interface +(\\S+)/admin"));
    const QString chatAddress = captured(output, "chat server +([0-9.]+):5222");
    const qint64 chatProcess = captured(output, "process ([0-9]+)\\)").toLongLong();
    EXPECT_TRUE(output.contains("demo@tovrin.test / sandbox"));

    // The client's configuration names the web host, the authority, the device token and the
    // position the seeded members live around.
    Bundle bundle{QVariantMap()};
    ASSERT_FALSE(LaunchConfiguration::apply({"tovrin", "--info", infoFile}, {}, bundle,
                                            FileManager::defaultManager()));
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("TovrinHostURL").toString(), web.toString());
    EXPECT_TRUE(QFile::exists(bundle.objectForInfoDictionaryKey("TovrinExtraTrustedCAFile").toString()));
    EXPECT_EQ(bundle.objectForInfoDictionaryKey("RemoteNotificationDeviceToken"),
              sandbox::Sandbox::remoteNotificationDeviceToken);
    const QVariantMap fixedLocation = bundle.objectForInfoDictionaryKey("TovrinFixedLocation").toMap();
    const Coordinate defaultPosition = sandbox::SandboxOptions().defaultPosition;
    EXPECT_EQ(fixedLocation.value("latitude").toDouble(), defaultPosition.latitude);
    EXPECT_EQ(fixedLocation.value("longitude").toDouble(), defaultPosition.longitude);

    net::URLSession session(test::patientSessionConfiguration(), std::make_shared<test::FakeReachability>());
    Promise<net::DataTaskResponse> bootstrap =
        session.dataTaskPromise(net::URLRequest(web.resolved(QUrl("/v3/bootstrap"))));
    ASSERT_TRUE(test::waitFor(bootstrap, test::sandboxPatience));
    EXPECT_EQ(bootstrap.value()->response.statusCode(), 200);

    program.terminate();
    ASSERT_TRUE(program.waitForFinished(test::sandboxPatience));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    ASSERT_GT(chatProcess, 0);
    EXPECT_EQ(::kill(pid_t(chatProcess), 0), -1);
    EXPECT_EQ(errno, ESRCH);
    EXPECT_TRUE(canListenOn("127.0.0.1", quint16(web.port())));
    EXPECT_TRUE(canListenOn("127.0.0.1", quint16(admin.port())));
    EXPECT_TRUE(canListenOn(chatAddress, 5222));
    EXPECT_TRUE(canListenOn(chatAddress, 5280));
}

class SecureSandboxTest : public SandboxTest {
protected:
    sandbox::SandboxOptions options() const override {
        sandbox::SandboxOptions options = SandboxTest::options();
        options.secure = true;
        return options;
    }

    // A bootstrap call over a new connection, trusting the sandbox's authority or not.
    Promise<QJsonValue> bootstrap(bool trustingTheSandbox) {
        net::URLSessionConfiguration configuration = test::patientSessionConfiguration();
        if (trustingTheSandbox)
            configuration.additionalTrustedCAFile = sandbox::Sandbox::certificateAuthorityFile();
        const auto client =
            web.makeService(std::make_shared<net::URLSession>(configuration, web.reachability));
        return settled(client->JSONWithURLRequest(client->GETRequestWithURL(
            BootstrapService::bootstrapURLWithHostURL(sandbox->webURL()), std::nullopt)));
    }
};

TEST_F(SecureSandboxTest, TheClientTrustsTheSandboxUntilItPresentsACertificateForAnotherName) {
    EXPECT_EQ(sandbox->webURL().scheme(), "https");
    const QJsonObject answer = answerOf(bootstrap(true));
    for (const char* host : {"media", "upload", "web", "authenticationWeb"}) {
        EXPECT_EQ(BootstrapService::firstServiceEntry(answer, QLatin1String(host)).value("protocol"), "https")
            << host;
    }
    EXPECT_EQ(errorCodeOf(bootstrap(false)), TovrinServiceErrorCertificateMismatch);

    ASSERT_EQ(admin("POST", "/admin/certificate", QJsonObject{{"matching", false}}).first, 200);
    EXPECT_EQ(errorCodeOf(bootstrap(true)), TovrinServiceErrorCertificateMismatch);
    ASSERT_EQ(web.listeners->calls.size(), 2u);
    EXPECT_EQ(web.listeners->calls[1].name, "certificateMismatched");

    ASSERT_EQ(admin("POST", "/admin/certificate", QJsonObject{{"matching", true}}).first, 200);
    EXPECT_EQ(errorCodeOf(bootstrap(true)), 0);
}

TEST_F(SandboxTest, AResetMakesANewWorldAndForgetsEverySession) {
    const test::SignedInMember demo = signInAsDemoMember();
    test::ChatConnection connection(*sandbox, demo.profileID);
    ASSERT_TRUE(connection.signIn(demo.xmppToken));
    connection.send("100002", "text", "Before the reset");
    ASSERT_FALSE(connection.waitForChatMessage("100002", "text").isNull());
    const QString nameBefore = admin("GET", "/admin/members/100010").second.value("displayName").toString();
    const QJsonObject standardLists =
        answerOf(send(TovrinAPIRequest::GETRequestWithPath("/v3/managed-fields", std::nullopt)));
    ASSERT_EQ(admin("POST", "/admin/managed-fields", QJsonObject{{"fields", QJsonObject()}}).first, 200);

    ASSERT_EQ(admin("POST", "/admin/reset", QJsonObject{{"seed", 2}}).first, 200);
    // The session is gone; the client renews it with the stored credentials (the demo member is in
    // every world) and the call goes through.
    answerOf(sendSignedIn(TovrinAPIRequest::GETRequestWithPath("/v3/me/favorites", std::nullopt)));
    ASSERT_TRUE(world->session()->credentials());
    EXPECT_NE(world->session()->credentials()->sessionToken(), demo.sessionToken);
    const test::SignedInMember again = signInAsDemoMember();
    EXPECT_NE(admin("GET", "/admin/members/100010").second.value("displayName").toString(), nameBefore);
    EXPECT_EQ(answerOf(send(TovrinAPIRequest::GETRequestWithPath("/v3/managed-fields", std::nullopt))),
              standardLists);
    EXPECT_TRUE(answerOf(sendSignedIn(TovrinAPIRequest::GETRequestWithPath(
                             "/v3/me/conversations", URLQueryItems{{"quantity", "50"}})))
                    .value("conversations")
                    .toArray()
                    .isEmpty());
    // The chat server starts empty, and the members the sandbox runs answer again.
    test::ChatConnection fresh(*sandbox, again.profileID);
    ASSERT_TRUE(fresh.signIn(again.xmppToken));
    EXPECT_TRUE(fresh.archive("100002").isEmpty());
    fresh.send("100002", "text", "After the reset");
    EXPECT_FALSE(fresh.waitForChatMessage("100002", "text").isNull());
}

}  // namespace
}  // namespace tovrin
