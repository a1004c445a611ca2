// tovrin-sandbox: a local Tovrin service with a seeded world, for the client and its tests.
#include <sys/socket.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <csignal>

#include "sandbox/Sandbox.h"
#include "sandbox/world/WorldSeed.h"

using tovrin::sandbox::Sandbox;
using tovrin::sandbox::SandboxOptions;
using tovrin::sandbox::WorldSeed;

namespace {

int signalPipe[2];

void forwardSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

// Ctrl-C and SIGTERM end the event loop, so that the sandbox stops its chat server on the way out.
void quitOnSignals(QCoreApplication& application) {
    ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe);
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &application);
    QObject::connect(notifier, &QSocketNotifier::activated, &application, &QCoreApplication::quit);
    struct sigaction action {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

struct CommandLine {
    SandboxOptions options;
    QString infoFile;
};

CommandLine parse(const QCoreApplication& application) {
    QCommandLineParser parser;
    parser.setApplicationDescription("A local Tovrin service with a seeded world, on loopback.");
    parser.addHelpOption();
    const QCommandLineOption seed("seed", "The world's seed number (1).", "number", "1");
    const QCommandLineOption members("members", "How many members the world has (300).", "count", "300");
    const QCommandLineOption webPort("web-port", "The web host's port (8480).", "port", "8480");
    const QCommandLineOption adminPort("admin-port", "The admin interface's port (8489).", "port", "8489");
    const QCommandLineOption anyPorts("any-ports", "Every host on a free port of its own.");
    const QCommandLineOption secure("https",
                                    "The web, media, upload and authentication web hosts speak HTTPS.");
    const QCommandLineOption info("info", "Write the client's configuration (for its --info) to this file.",
                                  "file");
    const QCommandLineOption moderation("moderation-delay", "Seconds until an uploaded photo is decided (8).",
                                        "seconds", "8");
    const QCommandLineOption log("log", "Write a line for every request.");
    parser.addOptions({seed, members, webPort, adminPort, anyPorts, secure, info, moderation, log});
    parser.process(application);

    CommandLine commandLine;
    SandboxOptions& options = commandLine.options;
    options.seed = parser.value(seed).toULongLong();
    options.memberCount = std::max(1 + options.answeringMemberCount, parser.value(members).toInt());
    options.webPort = parser.value(webPort).toUShort();
    options.adminPort = parser.value(adminPort).toUShort();
    if (parser.isSet(anyPorts)) {
        options.webPort = options.mediaPort = options.uploadPort = options.authenticationWebPort = 0;
        options.adminPort = 0;
    }
    options.secure = parser.isSet(secure);
    options.moderationDelay = parser.value(moderation).toDouble();
    options.logRequests = parser.isSet(log);
    commandLine.infoFile = parser.value(info);
    return commandLine;
}

void printReady(const Sandbox& sandbox, const QString& infoFile) {
    QTextStream out(stdout);
    out << "Tovrin sandbox is ready.\n"
        << "  web service         " << sandbox.webURL().toString() << "\n"
        << "  media host          " << sandbox.mediaURL().toString() << "\n"
        << "  upload host         " << sandbox.uploadURL().toString() << "\n"
        << "  authentication web  " << sandbox.authenticationWebURL().toString() << "\n"
        << "  chat server         " << sandbox.chatHost() << ":5222 (domain " << sandbox.chatDomain()
        << ", process " << sandbox.chatServerProcessID() << ")\n"
        << "  admin interface     " << sandbox.adminURL().toString() << "/admin\n"
        << "  demo member         " << WorldSeed::demoEmail << " / " << WorldSeed::memberPassword << "\n"
        << "  other members       member<profile id>@tovrin.test / " << WorldSeed::memberPassword << "\n";
    if (!infoFile.isEmpty()) out << "  client configuration " << infoFile << " (the client's --info)\n";
    out << "Press Ctrl-C to stop.\n";
    out.flush();
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("tovrin-sandbox");
    const CommandLine commandLine = parse(application);
    quitOnSignals(application);

    const auto sandbox = std::make_shared<Sandbox>(commandLine.options);
    int status = 0;
    sandbox->start()
        .then([&] {
            if (!commandLine.infoFile.isEmpty() && !sandbox->writeClientConfiguration(commandLine.infoFile)) {
                qCritical().noquote() << "tovrin-sandbox: cannot write" << commandLine.infoFile;
            }
            printReady(*sandbox, commandLine.infoFile);
        })
        .catchError([&](const tovrin::Error& error) {
            qCritical().noquote() << "tovrin-sandbox: the sandbox did not start:" << error.description();
            status = 1;
            QCoreApplication::exit(status);
        });
    const int exitStatus = application.exec();
    sandbox->stop();
    return status != 0 ? status : exitStatus;
}
