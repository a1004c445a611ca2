#include <gtest/gtest.h>

#include <QProcess>
#include <limits>
#include <set>

#include "Persistence/StoreWriter.h"
#include "Persistence/TemporaryStore.h"
#include "Persistence/databasewrapper/Cursor.h"

namespace tovrin {
namespace {

using test::await;

// A writer process is killed (SIGKILL) while it keeps writing; every batch it reported saved is
// in the file when the store opens it again.
TEST(StoreDurability, AProcessKilledMidWriteLosesNoResolvedWrite) {
    constexpr int reportsBeforeTheKill = 25;
    test::TemporaryStore files;
    files.make().reset();

    QProcess writer;
    writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    writer.start(QStringLiteral(TOVRIN_STORE_WRITER), {files.path()});
    ASSERT_TRUE(writer.waitForStarted());
    std::set<int> reported;
    const auto readReports = [&](int atMost) {
        while (writer.canReadLine() && int(reported.size()) < atMost) {
            const QByteArray line = writer.readLine().trimmed();
            ASSERT_TRUE(line.startsWith("saved ")) << line.constData();
            reported.insert(line.mid(6).toInt());
        }
    };
    while (int(reported.size()) < reportsBeforeTheKill && writer.state() == QProcess::Running) {
        if (!writer.canReadLine() && !writer.waitForReadyRead(30'000)) break;
        readReports(reportsBeforeTheKill);
    }
    writer.kill();
    ASSERT_TRUE(writer.waitForFinished());
    EXPECT_EQ(writer.exitStatus(), QProcess::CrashExit);
    ASSERT_EQ(int(reported.size()), reportsBeforeTheKill);
    // Lines the writer printed before it died count too.
    readReports(std::numeric_limits<int>::max());

    auto store = files.make();
    for (const int batch : reported) {
        const auto messages = await(
            store->getChatMessagesExchangedWithProfileID(test::storeWriterPeer(batch), Date(1e10), 1000));
        EXPECT_EQ(int(messages.size()), test::storeWriterBatchSize) << "batch " << batch;
    }
    const auto check = await(store->executeOnSqlQueue<QString>([&] {
        auto cursor = store->database()->executeSQL(QStringLiteral("PRAGMA integrity_check;"));
        return cursor->nextObject()->stringForColumn(0).value_or(QString());
    }));
    EXPECT_EQ(check, "ok");
}

}  // namespace
}  // namespace tovrin
