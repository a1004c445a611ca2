#include "platform/xmpp/XEP-0313/XMPPMessageArchiveManagement.h"

#include <gtest/gtest.h>

#include "fixtures/xmpp/ScriptedXMPPServer.h"
#include "fixtures/xmpp/XMPPTestDoubles.h"
#include "platform/foundation/MainQueue.h"
#include "platform/xmpp/XMPPStream.h"
#include "support/TestSupport.h"

namespace tovrin::xmpp {
namespace {

using test::drainMainQueue;
using test::runUntil;
using test::ScriptedXMPPServer;

struct Page {
    QList<XMPPMessage> messages;
    XMPPResultSet query;
    QString queryID;
    XMPPResultSet fin;
    std::optional<QString> oldestResultID;
    std::optional<QString> newestResultID;
    quint32 direction;

    QStringList bodies() const {
        QStringList texts;
        for (const XMPPMessage& message : messages) texts << message.body();
        return texts;
    }
};

class ArchivePages : public XMPPMessageArchiveManagementDelegate {
public:
    void messageArchiveManagementDidReceiveMessages(XMPPMessageArchiveManagement&,
                                                    const QList<XMPPMessage>& messages,
                                                    const XMPPResultSet& query, const QString& queryID,
                                                    const XMPPResultSet& finResultSet,
                                                    const std::optional<QString>& oldestResultID,
                                                    const std::optional<QString>& newestResultID,
                                                    quint32 direction) override {
        onMainThreadOnly = onMainThreadOnly && MainQueue::isMainThread();
        pages.append({messages, query, queryID, finResultSet, oldestResultID, newestResultID, direction});
    }
    void messageArchiveManagementDidFailQuery(XMPPMessageArchiveManagement&, const QString& queryID,
                                              const Error& error) override {
        onMainThreadOnly = onMainThreadOnly && MainQueue::isMainThread();
        failures.append({queryID, error});
    }

    std::optional<Page> pageFor(const QString& queryID) const {
        for (const Page& page : pages) {
            if (page.queryID == queryID) return page;
        }
        return std::nullopt;
    }

    QList<Page> pages;
    QList<QPair<QString, Error>> failures;
    bool onMainThreadOnly = true;
};

const std::optional<XMPPJID> peer = XMPPJID::jidWithString(QStringLiteral("peer@tovrin.test"));

// An archived chat message as the server forwards it; no "from" when `from` is empty.
QString archivedResult(const QString& queryID, const std::optional<QString>& resultID, const QString& body,
                       const QString& from = {}) {
    const QString fromAttribute = from.isEmpty() ? QString() : QStringLiteral(" from='%1'").arg(from);
    const QString idAttribute = resultID ? QStringLiteral(" id='%1'").arg(*resultID) : QString();
    return QStringLiteral(
               "<message%1 to='user@tovrin.test/resource'><result xmlns='urn:xmpp:mam:0' queryid='%2'%3>"
               "<forwarded xmlns='urn:xmpp:forward:0'><delay xmlns='urn:xmpp:delay' "
               "stamp='2026-12-11T10:00:00Z'/><message xmlns='jabber:client' type='chat' "
               "from='peer@tovrin.test/phone' to='user@tovrin.test' id='m-%4'><body>%4</body></message>"
               "</forwarded></result></message>")
        .arg(fromAttribute, queryID, idAttribute, body);
}

QString endMarker(const QString& queryID, int count, const QString& from = {}) {
    const QString fromAttribute = from.isEmpty() ? QString() : QStringLiteral(" from='%1'").arg(from);
    return QStringLiteral(
               "<message%1><fin xmlns='urn:xmpp:mam:0' queryid='%2' complete='true'>"
               "<set xmlns='http://jabber.org/protocol/rsm'><count>%3</count></set></fin></message>")
        .arg(fromAttribute, queryID)
        .arg(count);
}

class XMPPMessageArchiveManagementTest : public testing::Test {
protected:
    void SetUp() override {
        server.configureClientStream(*stream);
        stream->addDelegate(recorder, nullptr);
        archive->addDelegate(archivePages, nullptr);
        ASSERT_TRUE(archive->activate(stream));
    }

    void TearDown() override {
        archive->deactivate();
        stream->disconnect();
        runUntil([&] { return stream->isDisconnected(); });
        drainMainQueue();
    }

    void signIn() {
        const int signIns = recorder->count("authenticated") + 1;
        ASSERT_TRUE(stream->connectWithTimeout(XMPPStream::XMPPStreamTimeoutNone));
        ASSERT_TRUE(server.negotiateTLS(ScriptedXMPPServer::mechanismsFeatures({"PLAIN"})));
        ASSERT_TRUE(recorder->waitFor("connected", signIns));
        ASSERT_TRUE(stream->authenticateWithPassword(QStringLiteral("secret")));
        ASSERT_TRUE(server.acceptPlainSignInAndBind());
        ASSERT_TRUE(recorder->waitFor("authenticated", signIns));
    }

    struct SentQuery {
        QString iqID;
        QString queryID;
    };

    // Asks for a page and reads the query off the wire.
    SentQuery query(bool older, const QString& resultID = {}) {
        const QString queryID =
            archive->queryMessagesForJID(*peer, older,
                                         older ? XMPPResultSet::resultSetWithMaxBefore(50, resultID)
                                               : XMPPResultSet::resultSetWithMaxAfter(50, resultID));
        const XMLElement iq = server.nextElement();
        EXPECT_EQ(iq.elementForName("query").attributeStringValueForName("queryid"), queryID);
        return {iq.attributeStringValueForName("id"), queryID};
    }

    bool waitForPages(qsizetype count) {
        return runUntil([&] { return archivePages->pages.size() >= count; });
    }

    ScriptedXMPPServer server;
    test::ManualTimers timers;
    std::shared_ptr<XMPPStream> stream = std::make_shared<XMPPStream>(timers.source());
    std::shared_ptr<test::XMPPStreamRecorder> recorder = std::make_shared<test::XMPPStreamRecorder>();
    // On a queue of its own, as the application makes it.
    std::shared_ptr<XMPPMessageArchiveManagement> archive = std::make_shared<XMPPMessageArchiveManagement>();
    std::shared_ptr<ArchivePages> archivePages = std::make_shared<ArchivePages>();
};

TEST_F(XMPPMessageArchiveManagementTest, SendsASubmittedFormForThePartnerWithTheResultSetAsGiven) {
    struct Case {
        bool older;
        QString resultID;
        QString set;
    };
    const QList<Case> cases = {
        {true, "", "<max>50</max><before></before>"},
        {false, "", "<max>50</max><after></after>"},
        {true, "r7", "<max>50</max><before>r7</before>"},
        {false, "r7", "<max>50</max><after>r7</after>"},
    };
    signIn();
    for (const Case& testCase : cases) {
        const QString queryID = archive->queryMessagesForJID(
            *peer, testCase.older,
            testCase.older ? XMPPResultSet::resultSetWithMaxBefore(50, testCase.resultID)
                           : XMPPResultSet::resultSetWithMaxAfter(50, testCase.resultID));
        EXPECT_TRUE(server.expect("<iq type='set' id='*'><query xmlns='urn:xmpp:mam:0' queryid='" + queryID +
                                  "'><x xmlns='jabber:x:data' type='submit'>"
                                  "<field var='FORM_TYPE'><value>urn:xmpp:mam:0</value></field>"
                                  "<field var='with'><value>peer@tovrin.test</value></field></x>"
                                  "<set xmlns='http://jabber.org/protocol/rsm'>" +
                                  testCase.set + "</set></query></iq>"))
            << testCase.set.toStdString();
        EXPECT_NE(server.lastID(), queryID);
    }
}

TEST_F(XMPPMessageArchiveManagementTest, ReportsEveryResultOfAPageInArrivalOrderWithItsFirstAndLastIds) {
    struct Case {
        int results;
        bool older;
    };
    const QList<Case> cases = {{49, true}, {50, true}, {50, false}, {1, false}};
    signIn();
    for (const Case& testCase : cases) {
        const SentQuery sent = query(testCase.older);
        QString results;
        QStringList bodies;
        // Ids that do not sort in arrival order: the first and last to arrive count, not the least.
        for (int index = 0; index < testCase.results; ++index) {
            const QString body = QStringLiteral("text %1").arg(index);
            results += archivedResult(sent.queryID, QString::number((index * 7) % 50 + 100), body);
            bodies << body;
        }
        server.inject(results + endMarker(sent.queryID, testCase.results));
        ASSERT_TRUE(runUntil([&] { return archivePages->pageFor(sent.queryID).has_value(); }));
        const Page page = *archivePages->pageFor(sent.queryID);
        EXPECT_EQ(page.bodies(), bodies);
        EXPECT_EQ(page.messages.first().elementID(), "m-text 0");
        EXPECT_EQ(page.oldestResultID, "100");
        EXPECT_EQ(page.newestResultID, QString::number(((testCase.results - 1) * 7) % 50 + 100));
        EXPECT_EQ(page.direction,
                  testCase.older ? XMPPMessageArchiveFetchingOlder : XMPPMessageArchiveFetchingNewer);
        EXPECT_EQ(page.query.hasBefore(), testCase.older);
        EXPECT_EQ(page.query.hasAfter(), !testCase.older);
        EXPECT_EQ(page.query.max(), 50);
        EXPECT_EQ(page.fin.count(), testCase.results);
    }
    EXPECT_TRUE(archivePages->failures.isEmpty());
    EXPECT_TRUE(archivePages->onMainThreadOnly);
}

TEST_F(XMPPMessageArchiveManagementTest, RoutesResultsToTheQueryThatAskedAndEndsEachWithItsOwnMarker) {
    signIn();
    const SentQuery older = query(true);
    const SentQuery newer = query(false, "r1");
    server.inject(archivedResult(older.queryID, "o1", "old one") +
                  archivedResult(newer.queryID, "n1", "new one") +
                  archivedResult("never-asked", "x1", "stray") +
                  archivedResult(older.queryID, "o2", "old two") + endMarker(newer.queryID, 1));
    ASSERT_TRUE(waitForPages(1));
    EXPECT_EQ(archivePages->pages[0].queryID, newer.queryID);
    EXPECT_EQ(archivePages->pages[0].bodies(), QStringList({"new one"}));
    EXPECT_EQ(archivePages->pages[0].direction, XMPPMessageArchiveFetchingNewer);

    server.inject(endMarker(older.queryID, 2));
    ASSERT_TRUE(waitForPages(2));
    EXPECT_EQ(archivePages->pages[1].queryID, older.queryID);
    EXPECT_EQ(archivePages->pages[1].bodies(), QStringList({"old one", "old two"}));
    EXPECT_EQ(archivePages->pages[1].oldestResultID, "o1");
    EXPECT_EQ(archivePages->pages[1].newestResultID, "o2");
}

TEST_F(XMPPMessageArchiveManagementTest, AnEmptyPageHasNoIdsAndResultsWithoutIdsHaveEmptyOnes) {
    signIn();
    const SentQuery empty = query(true);
    const SentQuery withoutIDs = query(true);
    server.inject(endMarker(empty.queryID, 0) + archivedResult(withoutIDs.queryID, std::nullopt, "a") +
                  archivedResult(withoutIDs.queryID, std::nullopt, "b") + endMarker(withoutIDs.queryID, 2));
    ASSERT_TRUE(waitForPages(2));
    EXPECT_TRUE(archivePages->pages[0].messages.isEmpty());
    EXPECT_EQ(archivePages->pages[0].oldestResultID, std::nullopt);
    EXPECT_EQ(archivePages->pages[0].newestResultID, std::nullopt);
    EXPECT_EQ(archivePages->pages[1].bodies(), QStringList({"a", "b"}));
    EXPECT_EQ(archivePages->pages[1].oldestResultID, "");
    EXPECT_EQ(archivePages->pages[1].newestResultID, "");
}

TEST_F(XMPPMessageArchiveManagementTest, AnEndMarkerOfAQueryNeverSentReportsAnEmptyPageForItsId) {
    signIn();
    const SentQuery sent = query(false);
    server.inject(archivedResult("unknown", "u1", "stray") + endMarker("unknown", 1));
    ASSERT_TRUE(waitForPages(1));
    const Page page = archivePages->pages[0];
    EXPECT_EQ(page.queryID, "unknown");
    EXPECT_TRUE(page.messages.isEmpty());
    EXPECT_TRUE(page.query.isNull());
    EXPECT_EQ(page.direction, XMPPMessageArchiveFetchingOlder);
    EXPECT_EQ(page.oldestResultID, std::nullopt);
    EXPECT_EQ(page.newestResultID, std::nullopt);
    // The query that was sent is still waiting for its own page.
    server.inject(archivedResult(sent.queryID, "s1", "mine") + endMarker(sent.queryID, 1));
    ASSERT_TRUE(waitForPages(2));
    EXPECT_EQ(archivePages->pages[1].bodies(), QStringList({"mine"}));
}

TEST_F(XMPPMessageArchiveManagementTest, AQueryTheServerRefusesIsForgottenWithoutAPage) {
    signIn();
    const SentQuery refused = query(true);
    server.inject(QStringLiteral("<iq type='error' id='%1' from='user@tovrin.test'><error type='modify'>"
                                 "<bad-request xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></iq>")
                      .arg(refused.iqID));
    ASSERT_TRUE(runUntil([&] { return !archivePages->failures.isEmpty(); }));
    EXPECT_EQ(archivePages->failures[0].first, refused.queryID);
    EXPECT_EQ(archivePages->failures[0].second.domain(), XMPPMessageArchiveManagementErrorDomain);
    EXPECT_EQ(archivePages->failures[0].second.code(), XMPPMessageArchiveManagementQueryRefused);
    // Its results count for nothing any more; the server hears nothing back about the error.
    server.inject(archivedResult(refused.queryID, "late", "late") + endMarker(refused.queryID, 1));
    ASSERT_TRUE(waitForPages(1));
    EXPECT_TRUE(archivePages->pages[0].messages.isEmpty());
    EXPECT_TRUE(archivePages->pages[0].query.isNull());
    EXPECT_TRUE(server.expectNothing());
}

TEST_F(XMPPMessageArchiveManagementTest, ADisconnectionForgetsEveryQueryStillRunning) {
    signIn();
    const SentQuery first = query(true);
    const SentQuery second = query(false);
    const SentQuery answered = query(true);
    server.inject(archivedResult(first.queryID, "f1", "partial") + endMarker(answered.queryID, 0));
    ASSERT_TRUE(waitForPages(1));
    server.dropConnection();
    ASSERT_TRUE(runUntil([&] { return archivePages->failures.size() == 2; }));
    QStringList failed;
    for (const auto& [queryID, error] : archivePages->failures) {
        failed << queryID;
        EXPECT_EQ(error.code(), XMPPMessageArchiveManagementDisconnected);
    }
    failed.sort();
    QStringList expected = {first.queryID, second.queryID};
    expected.sort();
    EXPECT_EQ(failed, expected);
    drainMainQueue();
    EXPECT_EQ(archivePages->pages.size(), 1);
}

TEST_F(XMPPMessageArchiveManagementTest, AQueryThatCannotBeSentFails) {
    // Not connected yet.
    const QString queryID =
        archive->queryMessagesForJID(*peer, true, XMPPResultSet::resultSetWithMaxBefore(50, QString()));
    ASSERT_TRUE(runUntil([&] { return !archivePages->failures.isEmpty(); }));
    EXPECT_EQ(archivePages->failures[0].first, queryID);
    EXPECT_EQ(archivePages->failures[0].second.code(), XMPPMessageArchiveManagementQueryNotSent);

    // On no stream at all.
    auto idle = std::make_shared<XMPPMessageArchiveManagement>();
    idle->addDelegate(archivePages, nullptr);
    const QString idleQueryID =
        idle->queryMessagesForJID(*peer, false, XMPPResultSet::resultSetWithMaxAfter(50, QString()));
    ASSERT_TRUE(runUntil([&] { return archivePages->failures.size() == 2; }));
    EXPECT_EQ(archivePages->failures[1].first, idleQueryID);
    EXPECT_EQ(archivePages->failures[1].second.code(), XMPPMessageArchiveManagementQueryNotSent);
    EXPECT_TRUE(archivePages->pages.isEmpty());
}

TEST_F(XMPPMessageArchiveManagementTest, OnlyTheMembersOwnAccountSpeaksForTheArchive) {
    struct Case {
        QString from;
        bool counts;
    };
    const QList<Case> cases = {
        {"peer@tovrin.test", false}, {"peer@tovrin.test/phone", false}, {"user@tovrin.test/other", false},
        {"tovrin.test", false},      {"user@elsewhere.test", false},    {"not an address", false},
        {"user@tovrin.test", true},  {"USER@Tovrin.Test", true},
    };
    signIn();
    for (const Case& testCase : cases) {
        archivePages->pages.clear();
        archivePages->failures.clear();
        const SentQuery sent = query(true);
        const std::string from = testCase.from.toStdString();
        if (testCase.counts) {
            server.inject(archivedResult(sent.queryID, "own", "own", testCase.from) +
                          endMarker(sent.queryID, 1, testCase.from));
            ASSERT_TRUE(waitForPages(1)) << from;
            EXPECT_EQ(archivePages->pages[0].bodies(), QStringList({"own"})) << from;
            continue;
        }
        server.inject(
            archivedResult(sent.queryID, "forged", "forged", testCase.from) +
            QStringLiteral("<iq type='error' id='%1' from='%2'><error type='cancel'>"
                           "<item-not-found xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></iq>")
                .arg(sent.iqID, testCase.from) +
            endMarker(sent.queryID, 1, testCase.from) + archivedResult(sent.queryID, "real", "real") +
            endMarker(sent.queryID, 1));
        ASSERT_TRUE(waitForPages(1)) << from;
        drainMainQueue();
        EXPECT_TRUE(archivePages->failures.isEmpty()) << from;
        ASSERT_EQ(archivePages->pages.size(), 1) << from;
        EXPECT_EQ(archivePages->pages[0].bodies(), QStringList({"real"})) << from;
        EXPECT_EQ(archivePages->pages[0].oldestResultID, "real") << from;
    }
}

}  // namespace
}  // namespace tovrin::xmpp
