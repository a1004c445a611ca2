#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <algorithm>

namespace tovrin::test {

// The log lines starting with a prefix, at a level or above, written while it lives. One at a
// time: the process has one message handler.
class LogCapture {
public:
    explicit LogCapture(QString prefix, QtMsgType lowest = QtDebugMsg) {
        state() = {std::move(prefix), lowest, {}};
        previous_ =
            qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
                if (severity(type) >= severity(state().lowest) && message.startsWith(state().prefix))
                    state().lines.append(message);
            });
    }
    ~LogCapture() { qInstallMessageHandler(previous_); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const QStringList& lines() const { return state().lines; }
    int count(const QString& part) const {
        return int(std::count_if(lines().begin(), lines().end(),
                                 [&](const QString& line) { return line.contains(part); }));
    }

private:
    struct State {
        QString prefix;
        QtMsgType lowest;
        QStringList lines;
    };
    static State& state() {
        static State captured;
        return captured;
    }
    // The enum puts QtInfoMsg last, though it ranks between debug and warning.
    static int severity(QtMsgType type) {
        switch (type) {
            case QtDebugMsg:
                return 0;
            case QtInfoMsg:
                return 1;
            case QtWarningMsg:
                return 2;
            case QtCriticalMsg:
                return 3;
            case QtFatalMsg:
                return 4;
        }
        return 0;
    }

    QtMessageHandler previous_;
};

}  // namespace tovrin::test
