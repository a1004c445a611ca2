#pragma once

#include <QJsonValue>
#include <QStringList>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "Chat/ArchiveMessageResultIDs.h"
#include "Helpers/DeviceCurrentDateProvider.h"
#include "Helpers/ThreadTrampoline.h"
#include "InjectorKeys.h"
#include "Persistence/DatabaseFileRegistry.h"
#include "Persistence/databasewrapper/Binding.h"
#include "platform/di/Inject.h"
#include "platform/promise/Promise.h"

namespace tovrin {

class CascadeFilter;
class CascadeFilterJSONMapper;
class ChatMessage;
class ConfigurationRules;
class ConversationSummary;
class Cursor;
class Database;
class DirectedMessage;
class Filter;
class FilterJSONMapper;
class LastSeenMessageInfo;
class LastSeenMessageInfoJSONMapper;
class NearbyUser;
class NearbyUserJSONMapper;
class PreparedStatement;
class Row;
class RulesJSONMapper;

// Names under which the JSON objects are stored.
inline const QString kImageHashObjectType = QStringLiteral("ImageHash");
inline const QString kSavedPhrasesObjectType = QStringLiteral("SavedPhrases");
inline const QString kFilterObjectType = QStringLiteral("Filter");
inline const QString kCascadeFilterObjectType = QStringLiteral("CascadeFilter");
inline const QString kRulesObjectType = QStringLiteral("Rules");
inline const QString kLastSeenMessageInfoObjectType = QStringLiteral("LastSeenMessageInfo");

// The signed-in member's local store: one SQLite file at schema version 21, any other version
// replaced by an empty file. Every operation runs on the store's own serial queue, in call order,
// and settles its promise on the main queue in the same order; promises never reject. A write
// resolves true when its statement ran, a read with its value or with nothing. Only construction
// runs SQL on the calling thread, and not even that while an earlier store's deletion of the file
// is pending: the store's queue then waits for the deletion and sets the file up before its first
// block. The file is kept in write-ahead-log mode with `synchronous=NORMAL`: a resolved write
// survives the process being killed.
//
// A file that cannot be opened leaves the store degraded: writes resolve false and reads nothing.
// So does a store after `deleteDatabase`.
class TovrinPersistence : public std::enable_shared_from_this<TovrinPersistence> {
public:
    static constexpr int schemaVersion = 21;

    // The statements the store prepares, each once, and reuses.
    enum class Statement : int {
        insertConversationPS,
        saveChatMessagePS,
        saveChatMessageFromConversationPS,
        saveDeletionMessagePS,
        saveAcknowledgementPS,
        getAcknowledgementPS,
        removeOldDirectedMessagesPS,
        getMostRecentChatMessagePS,
        getChatMessagesPS,
        getConversationSummariesPS,
        removeAllConversationSummariesPS,
        removeConversationSummaryPS,
        updateConversationPS,
        updateXMPPResultIDContainerPS,
        getXMPPResultIDContainerPS,
        saveBroadcastMessagePS,
        broadcastMessageIDExistsPS,
        removeExpiredBroadcastMessagesPS,
        saveJSONObjectPS,
        getJSONObjectPS,
        saveNearbyUserPS,
        getNearbyUserPS,
        count,
    };
    struct StatementSQL {
        Statement statement;
        const char* sql;
    };
    // Each statement with its SQL, one row apiece.
    static std::span<const StatementSQL> statementTable();

    TovrinPersistence(std::shared_ptr<Database> database,
                      std::shared_ptr<NearbyUserJSONMapper> nearbyUserJSONMapper,
                      std::shared_ptr<FilterJSONMapper> filterJSONMapper,
                      std::shared_ptr<CascadeFilterJSONMapper> cascadeFilterJSONMapper,
                      std::shared_ptr<RulesJSONMapper> rulesJSONMapper,
                      std::shared_ptr<LastSeenMessageInfoJSONMapper> lastSeenMessageInfoJSONMapper,
                      std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider,
                      std::shared_ptr<ThreadTrampoline> threadTrampoline);
    ~TovrinPersistence();

    TovrinPersistence(const TovrinPersistence&) = delete;
    TovrinPersistence& operator=(const TovrinPersistence&) = delete;

    using Dependencies =
        Inject<Named<Database, InjectorKeyTovrinDatabase>, NearbyUserJSONMapper, FilterJSONMapper,
               CascadeFilterJSONMapper, RulesJSONMapper, LastSeenMessageInfoJSONMapper,
               DeviceCurrentDateProvider, Named<ThreadTrampoline, InjectorKeyPersistenceThreadTrampoline>>;

    // The block runs on the store's queue; its result settles the promise on the main queue. A
    // queued block keeps the store alive until it has run.
    template <class T>
    Promise<T> executeOnSqlQueue(std::function<T()> block);
    // BEGIN, the block, then COMMIT when it returns true, else ROLLBACK. True only after a
    // successful COMMIT; when BEGIN fails the block does not run.
    Promise<bool> executeTransactionOnSqlQueue(std::function<bool()> block);

    // Closes the database and removes its file (with the journal siblings) on the store's queue;
    // resolves true once that was attempted. A store made meanwhile on the same file waits for it
    // on its own queue.
    Promise<bool> deleteDatabase();

    // Chat messages, deletions and acknowledgements.
    Promise<bool> saveDirectedMessages(std::vector<std::shared_ptr<DirectedMessage>> messages);
    Promise<bool> removeDirectedMessagesSentBeforeDate(Date date);
    Promise<bool> hasChatMessageBeenAcknowledgedWithMessageID(QString messageID);
    Promise<std::shared_ptr<ChatMessage>> getMostRecentChatMessage();
    Promise<std::vector<std::shared_ptr<ChatMessage>>> getChatMessagesExchangedWithProfileID(
        QString profileID, Date olderThanDate, quint64 limit);

    // Conversations and archive positions.
    Promise<std::vector<std::shared_ptr<ConversationSummary>>> getConversationSummariesOlderThan(
        std::optional<Date> olderThan, quint64 limit);
    Promise<bool> removeAllConversationSummaries();
    Promise<bool> removeConversationForProfileID(QString profileID);
    Promise<bool> updateConversationForProfileID(QString profileID, quint64 unreadCount, bool unreadPhoto);
    Promise<bool> updateInboxHistoryForProfileID(QString profileID,
                                                 ArchiveMessageResultIDs archiveMessageResultIDs);
    Promise<ArchiveMessageResultIDs> getArchiveMessageResultIDsForTargetProfileID(QString profileID);

    // Profiles. Saves made one after another, with no other work queued between them, are written
    // in one transaction and share its outcome; a save is never written after work queued later.
    Promise<bool> saveNearbyUser(const std::shared_ptr<NearbyUser>& user);
    Promise<std::shared_ptr<NearbyUser>> getNearbyUserForProfileID(QString profileID);

    // Named JSON objects: one per type, a new save replacing the old. Only arrays and objects.
    Promise<bool> saveJSONObjectOfType(QString type, QJsonValue JSONRepresentation);
    Promise<std::optional<QJsonValue>> getObjectOfType(QString type);
    // A stored value that does not parse reads as nothing; the conversion runs on the store's queue.
    template <class T>
    Promise<T> getObjectOfType(QString type, std::function<T(const QJsonValue&)> conversionBlock);

    Promise<bool> saveImageHashes(const QStringList& imageHashes);
    Promise<std::optional<QStringList>> getImageHashes();
    Promise<bool> saveSavedPhrases(const QStringList& savedPhrases);
    Promise<std::optional<QStringList>> getSavedPhrases();
    Promise<bool> saveFilter(const Filter& filter);
    Promise<std::shared_ptr<Filter>> getFilter();
    Promise<bool> saveCascadeFilter(const CascadeFilter& cascadeFilter);
    Promise<std::shared_ptr<CascadeFilter>> getCascadeFilter();
    Promise<bool> saveConfigurationRules(const ConfigurationRules& rules);
    Promise<std::shared_ptr<ConfigurationRules>> getConfigurationRules();
    Promise<bool> saveLastSeenMessageInfo(const LastSeenMessageInfo& info);
    Promise<std::shared_ptr<LastSeenMessageInfo>> getLastSeenMessageInfo();

    // Broadcast messages already shown.
    Promise<bool> saveBroadcastMessageID(QString broadcastMessageID, Date expirationDate);
    Promise<bool> broadcastMessageIDExists(QString broadcastMessageID);
    Promise<bool> removeExpiredBroadcastMessages();

    // Only on the store's queue (or in tests, before any operation): nothing once deleted or degraded.
    const std::shared_ptr<Database>& database() const { return database_; }
    const QString& path() const { return path_; }
    const std::shared_ptr<ThreadTrampoline>& threadTrampoline() const { return threadTrampoline_; }

private:
    struct ProfileRow {
        QString profileID;
        QString displayName;
        bool favorite = false;
        QByteArray json;
    };
    struct ProfileBatch {
        std::vector<ProfileRow> rows;
        Promise<bool> promise;
    };

    template <class T>
    Promise<T> enqueueOnSqlQueue(std::function<T()> block);
    // Later saves of profiles start a batch of their own, queued after what is queued now.
    void closeProfileBatch();
    bool writeProfileRows(const std::vector<ProfileRow>& rows);

    void bootstrapDatabase(bool reopen);
    void bootstrapAfterAwaitedDeletion();
    void enableWriteAheadLog();
    bool buildSchemaInEmptyFile();
    void replaceWithEmptyDatabase();
    void runDegraded(const QString& reason);

    template <class T>
    Promise<T> executeWithDatabase(std::function<T()> block, T whenDegraded = T{});
    bool runTransaction(const std::function<bool()>& block);
    // The statement, compiled on first use against the current database and then reused.
    const std::shared_ptr<PreparedStatement>& preparedStatement(Statement statement);
    std::shared_ptr<Cursor> execute(Statement statement, const std::vector<Binding>& bindings = {});
    bool executeWrite(Statement statement, const std::vector<Binding>& bindings = {});

    bool saveDirectedMessage(const DirectedMessage& message);
    bool saveChatMessage(const ChatMessage& message);
    bool saveDeletionMessage(const DirectedMessage& message);
    bool saveAcknowledgement(const DirectedMessage& message);
    std::shared_ptr<ChatMessage> chatMessageFromRow(const Row& row) const;
    std::optional<QJsonValue> readJSONObject(const QString& type);

    std::shared_ptr<Database> database_;
    std::shared_ptr<NearbyUserJSONMapper> nearbyUserJSONMapper_;
    std::shared_ptr<FilterJSONMapper> filterJSONMapper_;
    std::shared_ptr<CascadeFilterJSONMapper> cascadeFilterJSONMapper_;
    std::shared_ptr<RulesJSONMapper> rulesJSONMapper_;
    std::shared_ptr<LastSeenMessageInfoJSONMapper> lastSeenMessageInfoJSONMapper_;
    std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider_;
    std::shared_ptr<ThreadTrampoline> threadTrampoline_;
    const QString path_;
    std::vector<std::shared_ptr<PreparedStatement>> statements_;
    // The deletion pending at construction; set up to it, then touched only on the store's queue.
    std::optional<DatabaseFileRegistry::Ticket> awaitedDeletion_;
    std::mutex profileBatchMutex_;
    // The batch still waiting on the queue that further saves may join.
    std::shared_ptr<ProfileBatch> openProfileBatch_;
};

template <class T>
Promise<T> TovrinPersistence::executeOnSqlQueue(std::function<T()> block) {
    closeProfileBatch();
    return enqueueOnSqlQueue<T>(std::move(block));
}

template <class T>
Promise<T> TovrinPersistence::enqueueOnSqlQueue(std::function<T()> block) {
    auto [promise, resolver] = Promise<T>::pending();
    auto result = std::make_shared<std::optional<T>>();
    threadTrampoline_->executeBackgroundThreadBlock(
        [self = shared_from_this(), block = std::move(block), result] {
            self->bootstrapAfterAwaitedDeletion();
            result->emplace(block());
        },
        [resolver = resolver, result] { resolver.fulfill(std::move(**result)); });
    return promise;
}

template <class T>
Promise<T> TovrinPersistence::executeWithDatabase(std::function<T()> block, T whenDegraded) {
    return executeOnSqlQueue<T>(
        [this, block = std::move(block), whenDegraded = std::move(whenDegraded)]() -> T {
            if (!database_) return whenDegraded;
            return block();
        });
}

template <class T>
Promise<T> TovrinPersistence::getObjectOfType(QString type,
                                              std::function<T(const QJsonValue&)> conversionBlock) {
    return executeWithDatabase<T>(
        [this, type = std::move(type), conversionBlock = std::move(conversionBlock)]() -> T {
            const auto value = readJSONObject(type);
            if (!value) return T{};
            return conversionBlock(*value);
        });
}

}  // namespace tovrin
