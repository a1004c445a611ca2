// The child process of the store's kill test: `tovrin_store_writer PATH`. Writes batches of chat
// messages through the store over PATH, one after another, and prints "saved N" once batch N's
// promise has resolved, with the next batch already under way, until it is killed.
#include <QCoreApplication>
#include <cstdio>
#include <functional>

#include "Cascade/Filter/CascadeFilterJSONMapper.h"
#include "Cascade/Filter/FilterJSONMapper.h"
#include "Cascade/NearbyUserJSONMapper.h"
#include "Chat/LastSeenMessageInfoJSONMapper.h"
#include "Chat/TextMessage.h"
#include "Persistence/StoreWriter.h"
#include "Persistence/TovrinPersistence.h"
#include "Persistence/databasewrapper/Database.h"
#include "Rules/RulesJSONMapper.h"

namespace {

using namespace tovrin;

// Ends the writer should its parent never kill it.
constexpr int lastBatch = 100'000;

std::vector<std::shared_ptr<DirectedMessage>> batchMessages(int batch) {
    std::vector<std::shared_ptr<DirectedMessage>> messages;
    const QString peer = test::storeWriterPeer(batch);
    for (int index = 0; index < test::storeWriterBatchSize; ++index) {
        messages.push_back(std::make_shared<TextMessage>(
            QStringLiteral("%1-%2").arg(batch).arg(index), peer, QStringLiteral("me"),
            QStringLiteral("Message %1 of batch %2").arg(index).arg(batch), Date(1'700'000'000.0 + index),
            ChatMessageStatusReceived, true));
    }
    return messages;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tovrin_store_writer PATH\n");
        return 2;
    }
    auto clock = std::make_shared<DeviceCurrentDateProvider>();
    auto store = std::make_shared<TovrinPersistence>(
        std::make_shared<Database>(QString::fromLocal8Bit(argv[1])),
        std::make_shared<NearbyUserJSONMapper>(clock), std::make_shared<FilterJSONMapper>(),
        std::make_shared<CascadeFilterJSONMapper>(), std::make_shared<RulesJSONMapper>(),
        std::make_shared<LastSeenMessageInfoJSONMapper>(), clock,
        std::make_shared<ThreadTrampoline>(
            std::make_shared<DispatchQueue>(QStringLiteral("TovrinPersistence"))));

    std::function<void(int)> write = [&](int batch) {
        store->saveDirectedMessages(batchMessages(batch)).then([&, batch](bool saved) {
            if (!saved) {
                std::fprintf(stderr, "batch %d was not saved\n", batch);
                QCoreApplication::exit(1);
                return;
            }
            if (batch < lastBatch) {
                write(batch + 1);
            } else {
                QCoreApplication::quit();
            }
            std::printf("saved %d\n", batch);
            std::fflush(stdout);
        });
    };
    write(0);
    return QCoreApplication::exec();
}
