#pragma once

#include <QHostAddress>
#include <QString>

#include "platform/foundation/Coordinate.h"

namespace tovrin::sandbox {

// How a sandbox runs: its world, its addresses and the rules of its service. The defaults are the
// ones `./dev sandbox` uses; `forTests()` is a small world on free ports with immediate answers and
// moderation left to the admin interface.
struct SandboxOptions {
    // The world.
    quint64 seed = 1;
    int memberCount = 300;
    int answeringMemberCount = 3;
    Coordinate defaultPosition{52.5200, 13.4050};

    // Addresses: every host on `address`; port 0 takes a free one. The client's default web host
    // is http://127.0.0.1:8480.
    QHostAddress address = QHostAddress::LocalHost;
    quint16 webPort = 8480;
    quint16 mediaPort = 8481;
    quint16 uploadPort = 8482;
    quint16 authenticationWebPort = 8483;
    quint16 adminPort = 8489;
    // The web, media, upload and authentication web hosts speak HTTPS with the sandbox's
    // certificate (for 127.0.0.1 and localhost), which the admin interface can switch.
    bool secure = false;
    QString chatDomain = QStringLiteral("tovrin.test");

    // The service's rules.
    int pageSize = 30;
    int maxCascadePages = 10;
    qint64 gridTTL = 120000;  // milliseconds
    int favoritesLimit = 100;
    int blocksLimit = 100;
    int dailyProfilePhotoLimit = 10;
    // Seconds until an uploaded profile photo is decided; negative: only the admin interface decides.
    double moderationDelay = 8;
    // Seconds an answering member takes to answer.
    double answerDelay = 1.5;

    bool logRequests = false;

    static SandboxOptions forTests() {
        SandboxOptions options;
        options.memberCount = 40;
        options.answeringMemberCount = 2;
        options.webPort = options.mediaPort = options.uploadPort = options.authenticationWebPort = 0;
        options.adminPort = 0;
        options.moderationDelay = -1;
        options.answerDelay = 0;
        return options;
    }
};

}  // namespace tovrin::sandbox
