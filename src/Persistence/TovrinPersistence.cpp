#include "Persistence/TovrinPersistence.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonObject>
#include <cmath>

#include "API/NearbyUser.h"
#include "Cascade/Filter/CascadeFilterJSONMapper.h"
#include "Cascade/Filter/FilterJSONMapper.h"
#include "Cascade/NearbyUserJSONMapper.h"
#include "Chat/BlockMessage.h"
#include "Chat/ChatConversationDeletionMessage.h"
#include "Chat/ChatMessageAcknowledgement.h"
#include "Chat/ChatMessageDeletion.h"
#include "Chat/ConversationSummary.h"
#include "Chat/DirectedMessageCategorizer.h"
#include "Chat/ImageMediaHashMessage.h"
#include "Chat/LastSeenMessageInfoJSONMapper.h"
#include "Chat/LocationMessage.h"
#include "Chat/TextMessage.h"
#include "Persistence/DatabaseFileRegistry.h"
#include "Persistence/databasewrapper/Cursor.h"
#include "Persistence/databasewrapper/Database.h"
#include "Persistence/databasewrapper/PreparedStatement.h"
#include "Rules/RulesJSONMapper.h"
#include "platform/foundation/JSON.h"

namespace tovrin {

namespace {

// Each statement on one line: SQLite keeps the text as written.
const char* const schema = R"sql(
CREATE TABLE Profiles (profileID TEXT UNIQUE NOT NULL, displayName TEXT, isFavorite INTEGER NOT NULL, JSONRepresentation BLOB NOT NULL);
CREATE TABLE JSONObjects (objectName TEXT UNIQUE NOT NULL, JSONRepresentation BLOB NOT NULL);
CREATE TABLE BroadcastMessages (broadcastMessageID TEXT UNIQUE NOT NULL, expirationTimeStamp INTEGER NOT NULL);
CREATE TABLE ChatMessages (messageID TEXT UNIQUE NOT NULL, exchangedWithProfileID TEXT NOT NULL, senderProfileID TEXT NOT NULL, targetProfileID TEXT NOT NULL, sentTimestamp INTEGER NOT NULL, status INTEGER NOT NULL, text TEXT, imageHash TEXT, locationString TEXT, didReceiveFromXMPP INTEGER NOT NULL DEFAULT 0);
CREATE INDEX Index_ChatMessages_status ON ChatMessages(status);
CREATE INDEX Index_ChatMessages_exchangedWithProfileID_sentTimestamp ON ChatMessages(exchangedWithProfileID, sentTimestamp);
CREATE INDEX Index_ChatMessages_sentTimestamp ON ChatMessages(sentTimestamp DESC);
CREATE TABLE ChatMessageDeletions (exchangedWithProfileID TEXT NOT NULL, messageID TEXT UNIQUE NOT NULL REFERENCES ChatMessages(messageID) ON DELETE CASCADE);
CREATE TABLE ChatMessageAcknowledgements (acknowledgedMessageID TEXT NOT NULL REFERENCES ChatMessages(messageID) ON DELETE CASCADE, exchangedWithProfileID TEXT NOT NULL, originalRecipientProfileID TEXT NOT NULL, type INTEGER NOT NULL);
CREATE TABLE Conversations (profileID TEXT UNIQUE NOT NULL, unreadMessages INTEGER NOT NULL DEFAULT 0, unreadPhoto INTEGER NOT NULL DEFAULT 0);
CREATE TABLE InboxHistory (profileID TEXT UNIQUE NOT NULL, oldestXMPPResultID TEXT, newestXMPPResultID TEXT);
)sql";

using Statement = TovrinPersistence::Statement;

// clang-format off
#define CHAT_MESSAGE_COLUMNS \
    "messageID, senderProfileID, targetProfileID, sentTimestamp, status, text, imageHash, locationString, didReceiveFromXMPP"

constexpr TovrinPersistence::StatementSQL statements[] = {
    {Statement::insertConversationPS, "INSERT INTO Conversations (profileID, unreadMessages, unreadPhoto) VALUES (?, 0, 0);"},
    {Statement::saveChatMessagePS, "INSERT OR REPLACE INTO ChatMessages VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);"},
    {Statement::saveChatMessageFromConversationPS, "INSERT OR IGNORE INTO ChatMessages VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);"},
    {Statement::saveDeletionMessagePS, "INSERT OR REPLACE INTO ChatMessageDeletions VALUES (?, ?);"},
    {Statement::saveAcknowledgementPS, "INSERT OR REPLACE INTO ChatMessageAcknowledgements VALUES (?, ?, ?, ?);"},
    {Statement::getAcknowledgementPS,
     "SELECT acknowledgedMessageID FROM ChatMessageAcknowledgements WHERE acknowledgedMessageID = ? AND type = 1;"},
    {Statement::removeOldDirectedMessagesPS, "DELETE FROM ChatMessages WHERE sentTimestamp < ?;"},
    {Statement::getMostRecentChatMessagePS,
     "SELECT " CHAT_MESSAGE_COLUMNS " FROM ChatMessages WHERE status != 1 ORDER BY sentTimestamp DESC LIMIT 1;"},
    {Statement::getChatMessagesPS,
     "SELECT " CHAT_MESSAGE_COLUMNS " FROM ChatMessages "
     "WHERE exchangedWithProfileID = ? AND didReceiveFromXMPP = 1 AND sentTimestamp < ? "
     "ORDER BY sentTimestamp DESC LIMIT ?;"},
    // The newest message of each peer, picked explicitly (ties by insertion order); the index on
    // (exchangedWithProfileID, sentTimestamp) finds it in one step per conversation.
    {Statement::getConversationSummariesPS,
     "SELECT c.messageID, c.senderProfileID, c.targetProfileID, c.sentTimestamp, c.status, c.text, c.imageHash, "
     "c.locationString, c.didReceiveFromXMPP, Conversations.unreadMessages, Conversations.unreadPhoto "
     "FROM Conversations JOIN ChatMessages c ON c.rowid = (SELECT newest.rowid FROM ChatMessages newest "
     "WHERE newest.exchangedWithProfileID = Conversations.profileID "
     "ORDER BY newest.sentTimestamp DESC, newest.rowid DESC LIMIT 1) "
     "WHERE c.sentTimestamp < ? ORDER BY c.sentTimestamp DESC LIMIT ?;"},
    {Statement::removeAllConversationSummariesPS, "DELETE FROM Conversations;"},
    {Statement::removeConversationSummaryPS, "DELETE FROM Conversations WHERE profileID = ?;"},
    {Statement::updateConversationPS, "INSERT OR REPLACE INTO Conversations VALUES (?, ?, ?);"},
    {Statement::updateXMPPResultIDContainerPS, "INSERT OR REPLACE INTO InboxHistory VALUES (?, ?, ?);"},
    {Statement::getXMPPResultIDContainerPS,
     "SELECT oldestXMPPResultID, newestXMPPResultID FROM InboxHistory WHERE profileID = ?;"},
    {Statement::saveBroadcastMessagePS, "INSERT OR REPLACE INTO BroadcastMessages VALUES (?, ?);"},
    {Statement::broadcastMessageIDExistsPS, "SELECT COUNT(*) FROM BroadcastMessages WHERE broadcastMessageID = ?;"},
    {Statement::removeExpiredBroadcastMessagesPS, "DELETE FROM BroadcastMessages WHERE expirationTimeStamp < ?;"},
    {Statement::saveJSONObjectPS, "INSERT OR REPLACE INTO JSONObjects VALUES (?, ?);"},
    {Statement::getJSONObjectPS, "SELECT JSONRepresentation FROM JSONObjects WHERE objectName = ?;"},
    {Statement::saveNearbyUserPS, "INSERT OR REPLACE INTO Profiles VALUES (?, ?, ?, ?);"},
    {Statement::getNearbyUserPS, "SELECT JSONRepresentation FROM Profiles WHERE profileID = ?;"},
};
// clang-format on

#undef CHAT_MESSAGE_COLUMNS

const char* sqlFor(Statement statement) {
    for (const auto& row : statements) {
        if (row.statement == statement) return row.sql;
    }
    TVR_FATAL(QStringLiteral("No SQL for statement %1").arg(int(statement)));
}

// Six decimals, a point whatever the locale; empty for a message without a position, which must
// not come back as a pin at 0,0.
QString locationString(const std::optional<Coordinate>& location) {
    if (!location) return QStringLiteral("");
    return QString::number(location->latitude, 'f', 6) + QLatin1Char(',') +
           QString::number(location->longitude, 'f', 6);
}

std::optional<Coordinate> locationFromString(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2) return std::nullopt;
    bool latitudeRead = false;
    bool longitudeRead = false;
    const Coordinate coordinate{parts[0].toDouble(&latitudeRead), parts[1].toDouble(&longitudeRead)};
    if (!latitudeRead || !longitudeRead || !std::isfinite(coordinate.latitude) ||
        !std::isfinite(coordinate.longitude) || !coordinate.isValid()) {
        return std::nullopt;
    }
    return coordinate;
}

std::optional<QJsonValue> parseStoredJSON(const QByteArray& data) {
    return JSON::parse(data);
}

bool isContainer(const QJsonValue& value) {
    return value.isArray() || value.isObject();
}

std::optional<QStringList> stringList(const QJsonValue& value) {
    if (!value.isArray()) return std::nullopt;
    QStringList strings;
    for (const QJsonValue& element : value.toArray()) strings.append(element.toString());
    return strings;
}

}  // namespace

std::span<const TovrinPersistence::StatementSQL> TovrinPersistence::statementTable() {
    return statements;
}

TovrinPersistence::TovrinPersistence(
    std::shared_ptr<Database> database, std::shared_ptr<NearbyUserJSONMapper> nearbyUserJSONMapper,
    std::shared_ptr<FilterJSONMapper> filterJSONMapper,
    std::shared_ptr<CascadeFilterJSONMapper> cascadeFilterJSONMapper,
    std::shared_ptr<RulesJSONMapper> rulesJSONMapper,
    std::shared_ptr<LastSeenMessageInfoJSONMapper> lastSeenMessageInfoJSONMapper,
    std::shared_ptr<DeviceCurrentDateProvider> currentDateProvider,
    std::shared_ptr<ThreadTrampoline> threadTrampoline)
    : database_(std::move(database)),
      nearbyUserJSONMapper_(std::move(nearbyUserJSONMapper)),
      filterJSONMapper_(std::move(filterJSONMapper)),
      cascadeFilterJSONMapper_(std::move(cascadeFilterJSONMapper)),
      rulesJSONMapper_(std::move(rulesJSONMapper)),
      lastSeenMessageInfoJSONMapper_(std::move(lastSeenMessageInfoJSONMapper)),
      currentDateProvider_(std::move(currentDateProvider)),
      threadTrampoline_(std::move(threadTrampoline)),
      path_(database_->path()),
      statements_(size_t(Statement::count)),
      awaitedDeletion_(DatabaseFileRegistry::shared().newestPendingDeletion(path_)) {
    // The main thread never waits for an earlier store's deletion; the queue does, first thing.
    if (!awaitedDeletion_) bootstrapDatabase(false);
}

TovrinPersistence::~TovrinPersistence() = default;

// Construction

void TovrinPersistence::bootstrapAfterAwaitedDeletion() {
    if (!awaitedDeletion_) return;
    DatabaseFileRegistry::shared().waitForDeletionsUpTo(path_, *awaitedDeletion_);
    awaitedDeletion_.reset();
    bootstrapDatabase(true);
}

void TovrinPersistence::bootstrapDatabase(bool reopen) {
    DatabaseFileRegistry& registry = DatabaseFileRegistry::shared();
    // A deletion that finished after the connection was opened leaves it on a removed file.
    if (reopen || database_->hasMoved()) {
        database_->close();
        database_ = std::make_shared<Database>(path_);
    }
    if (database_->isClosed()) {
        runDegraded(QStringLiteral("it cannot be opened: %1").arg(database_->openError()->description()));
        return;
    }
    const bool reusable = database_->userVersion() == schemaVersion && !registry.isUncleared(path_);
    // The first attempt may meet a file that a failed deletion left behind; the second is the last.
    if (!reusable && !buildSchemaInEmptyFile() && !buildSchemaInEmptyFile()) {
        runDegraded(QStringLiteral("its schema could not be built"));
        return;
    }
    registry.setCleared(path_, true);
    enableWriteAheadLog();
    database_->setMainThreadForbidden(true);
}

// A commit then only appends to the log, which the system holds once written: a killed process
// loses no resolved write, and only a power loss may take back the last commits.
void TovrinPersistence::enableWriteAheadLog() {
    auto mode = database_->executeSQL(QStringLiteral("PRAGMA journal_mode = WAL;"));
    const auto row = mode ? mode->nextObject() : std::nullopt;
    const auto journalMode = row ? row->stringForColumn(0) : std::nullopt;
    mode.reset();
    Error error;
    if (journalMode != QStringLiteral("wal") ||
        !database_->executeSQLBatch(QStringLiteral("PRAGMA synchronous = NORMAL;"), &error)) {
        qWarning().noquote() << QStringLiteral("The local store %1 keeps journal mode %2: %3")
                                    .arg(path_, journalMode.value_or(QStringLiteral("unknown")),
                                         error.description());
    }
}

bool TovrinPersistence::buildSchemaInEmptyFile() {
    replaceWithEmptyDatabase();
    database_ = std::make_shared<Database>(path_);
    if (database_->isClosed()) return false;
    if (database_->integerForSQL(QStringLiteral("SELECT count(*) FROM sqlite_master;")) != 0) {
        qWarning().noquote() << QStringLiteral("%1 still holds data after its removal").arg(path_);
        return false;
    }
    const QString batch = QStringLiteral("BEGIN TRANSACTION;%1PRAGMA user_version = %2;COMMIT;")
                              .arg(QString::fromUtf8(schema), QString::number(schemaVersion));
    Error error;
    if (database_->executeSQLBatch(batch, &error)) return true;
    qWarning().noquote() << QStringLiteral(
                                "TovrinPersistence::bootstrapDatabase: Could not execute DDL. Error: %1")
                                .arg(error.description());
    database_->executeSQLBatch(QStringLiteral("ROLLBACK;"));
    return false;
}

void TovrinPersistence::replaceWithEmptyDatabase() {
    if (database_) database_->close();
    database_.reset();
    std::fill(statements_.begin(), statements_.end(), nullptr);
    DatabaseFileRegistry::shared().setCleared(path_,
                                              DatabaseFileRegistry::shared().removeDatabaseFiles(path_));
}

void TovrinPersistence::runDegraded(const QString& reason) {
    qWarning().noquote()
        << QStringLiteral("The local store %1 works without its file: %2").arg(path_, reason);
    if (database_) database_->close();
    database_.reset();
}

// Queue and transactions

Promise<bool> TovrinPersistence::executeTransactionOnSqlQueue(std::function<bool()> block) {
    return executeWithDatabase<bool>([this, block = std::move(block)] { return runTransaction(block); },
                                     false);
}

bool TovrinPersistence::runTransaction(const std::function<bool()>& block) {
    if (!database_->executeSQLBatch(QStringLiteral("BEGIN TRANSACTION;"))) return false;
    if (block() && database_->executeSQLBatch(QStringLiteral("COMMIT;"))) return true;
    database_->executeSQLBatch(QStringLiteral("ROLLBACK;"));
    return false;
}

Promise<bool> TovrinPersistence::deleteDatabase() {
    const auto ticket = DatabaseFileRegistry::shared().beginDeletion(path_);
    return executeOnSqlQueue<bool>([this, ticket] {
        replaceWithEmptyDatabase();
        DatabaseFileRegistry::shared().finishDeletion(path_, ticket,
                                                      !DatabaseFileRegistry::shared().isUncleared(path_));
        return true;
    });
}

// Compiled at first use, not at setup: a file kept at the current version is taken as it stands.
const std::shared_ptr<PreparedStatement>& TovrinPersistence::preparedStatement(Statement statement) {
    auto& cached = statements_[size_t(statement)];
    if (!cached) cached = database_->preparedStatementWithSQL(QString::fromUtf8(sqlFor(statement)));
    return cached;
}

std::shared_ptr<Cursor> TovrinPersistence::execute(Statement statement,
                                                   const std::vector<Binding>& bindings) {
    return preparedStatement(statement)->executeWithBindings(bindings);
}

bool TovrinPersistence::executeWrite(Statement statement, const std::vector<Binding>& bindings) {
    return execute(statement, bindings) != nullptr;
}

// Chat messages

Promise<bool> TovrinPersistence::saveDirectedMessages(
    std::vector<std::shared_ptr<DirectedMessage>> messages) {
    return executeTransactionOnSqlQueue([this, messages = std::move(messages)] {
        for (const auto& message : messages) {
            if (!message || !saveDirectedMessage(*message)) return false;
        }
        return true;
    });
}

bool TovrinPersistence::saveDirectedMessage(const DirectedMessage& message) {
    if (DirectedMessageCategorizer::isChatMessage(&message)) {
        return saveChatMessage(static_cast<const ChatMessage&>(message));
    }
    if (DirectedMessageCategorizer::isChatMessageDeletion(&message)) return saveDeletionMessage(message);
    if (DirectedMessageCategorizer::isChatMessageAcknowledgement(&message))
        return saveAcknowledgement(message);
    return DirectedMessageCategorizer::isBlockMessage(&message) ||
           DirectedMessageCategorizer::isChatConversationDeletion(&message);
}

bool TovrinPersistence::saveChatMessage(const ChatMessage& message) {
    const auto* archivable = dynamic_cast<const ArchivableChatMessage*>(&message);
    const QString peer = message.exchangedInConversationWithProfileID();
    if (!archivable || message.messageID().isEmpty() || peer.isEmpty() ||
        message.senderProfileID().isEmpty() || message.targetProfileID().isEmpty()) {
        return false;
    }
    Binding text, imageHash, location;
    if (const auto* textMessage = dynamic_cast<const TextMessage*>(&message)) {
        if (!textMessage->text()) return false;
        text = *textMessage->text();
    } else if (const auto* imageMessage = dynamic_cast<const ImageMediaHashMessage*>(&message)) {
        if (imageMessage->imageMediaHash().isEmpty()) return false;
        imageHash = imageMessage->imageMediaHash();
    } else if (const auto* locationMessage = dynamic_cast<const LocationMessage*>(&message)) {
        location = locationString(locationMessage->location());
    }
    // Fails on the unique profile id when the peer has a row, which keeps its counters.
    execute(Statement::insertConversationPS, {peer});
    const Statement insert = archivable->didReceiveFromXMPP() ? Statement::saveChatMessagePS
                                                              : Statement::saveChatMessageFromConversationPS;
    return executeWrite(insert, {message.messageID(), peer, message.senderProfileID(),
                                 message.targetProfileID(), message.sentDate(), message.status(), text,
                                 imageHash, location, archivable->didReceiveFromXMPP()});
}

bool TovrinPersistence::saveDeletionMessage(const DirectedMessage& message) {
    const auto& deletion = static_cast<const ChatMessageDeletion&>(message);
    bool allSaved = true;
    for (const QString& messageID : deletion.deletedMessageIDs()) {
        allSaved = executeWrite(Statement::saveDeletionMessagePS,
                                {deletion.exchangedInConversationWithProfileID(), messageID}) &&
                   allSaved;
    }
    return allSaved;
}

bool TovrinPersistence::saveAcknowledgement(const DirectedMessage& message) {
    const auto& acknowledgement = static_cast<const ChatMessageAcknowledgement&>(message);
    return executeWrite(
        Statement::saveAcknowledgementPS,
        {acknowledgement.acknowledgedMessageID(), acknowledgement.exchangedInConversationWithProfileID(),
         acknowledgement.originalMessageRecipientProfileID(), acknowledgement.type()});
}

std::shared_ptr<ChatMessage> TovrinPersistence::chatMessageFromRow(const Row& row) const {
    const QString messageID = row.stringForColumn(0).value_or(QString());
    const QString sender = row.stringForColumn(1).value_or(QString());
    const QString target = row.stringForColumn(2).value_or(QString());
    const Date sentDate = row.dateForColumn(3).value_or(Date());
    const auto status = quint32(row.unsignedIntegerForColumn(4));
    const bool didReceiveFromXMPP = row.boolForColumn(8);
    if (auto text = row.stringForColumn(5)) {
        return std::make_shared<TextMessage>(messageID, sender, target, text, sentDate, status,
                                             didReceiveFromXMPP);
    }
    if (auto imageHash = row.stringForColumn(6)) {
        return std::make_shared<ImageMediaHashMessage>(messageID, sender, target, sentDate, status,
                                                       *imageHash, didReceiveFromXMPP);
    }
    if (auto location = row.stringForColumn(7)) {
        return std::make_shared<LocationMessage>(messageID, sender, target, sentDate, status,
                                                 locationFromString(*location), didReceiveFromXMPP);
    }
    return nullptr;
}

Promise<bool> TovrinPersistence::removeDirectedMessagesSentBeforeDate(Date date) {
    return executeWithDatabase<bool>([this, date] {
        database_->executeSQLBatch(QStringLiteral("PRAGMA foreign_keys = ON;"));
        const bool removed = executeWrite(Statement::removeOldDirectedMessagesPS, {date});
        database_->executeSQLBatch(QStringLiteral("PRAGMA foreign_keys = OFF;"));
        return removed;
    });
}

Promise<bool> TovrinPersistence::hasChatMessageBeenAcknowledgedWithMessageID(QString messageID) {
    return executeWithDatabase<bool>([this, messageID = std::move(messageID)] {
        auto cursor = execute(Statement::getAcknowledgementPS, {messageID});
        return cursor && cursor->nextObject().has_value();
    });
}

Promise<std::shared_ptr<ChatMessage>> TovrinPersistence::getMostRecentChatMessage() {
    return executeWithDatabase<std::shared_ptr<ChatMessage>>([this]() -> std::shared_ptr<ChatMessage> {
        auto cursor = execute(Statement::getMostRecentChatMessagePS);
        const auto row = cursor ? cursor->nextObject() : std::nullopt;
        return row ? chatMessageFromRow(*row) : nullptr;
    });
}

Promise<std::vector<std::shared_ptr<ChatMessage>>> TovrinPersistence::getChatMessagesExchangedWithProfileID(
    QString profileID, Date olderThanDate, quint64 limit) {
    using Messages = std::vector<std::shared_ptr<ChatMessage>>;
    return executeWithDatabase<Messages>([this, profileID = std::move(profileID), olderThanDate, limit] {
        Messages messages;
        auto cursor = execute(Statement::getChatMessagesPS, {profileID, olderThanDate, limit});
        if (!cursor) return messages;
        while (const auto row = cursor->nextObject()) {
            if (auto message = chatMessageFromRow(*row)) messages.push_back(std::move(message));
        }
        return messages;
    });
}

// Conversations and archive positions

Promise<std::vector<std::shared_ptr<ConversationSummary>>>
TovrinPersistence::getConversationSummariesOlderThan(std::optional<Date> olderThan, quint64 limit) {
    using Summaries = std::vector<std::shared_ptr<ConversationSummary>>;
    const Date date = olderThan.value_or(currentDateProvider_->currentDate());
    return executeWithDatabase<Summaries>([this, date, limit] {
        Summaries summaries;
        auto cursor = execute(Statement::getConversationSummariesPS, {date, limit});
        if (!cursor) return summaries;
        while (const auto row = cursor->nextObject()) {
            auto message = chatMessageFromRow(*row);
            if (!message) continue;
            const QString peer = message->exchangedInConversationWithProfileID();
            summaries.push_back(std::make_shared<ConversationSummary>(
                peer, quint32(row->unsignedIntegerForColumn(9)), row->boolForColumn(10), std::move(message)));
        }
        return summaries;
    });
}

Promise<bool> TovrinPersistence::removeAllConversationSummaries() {
    return executeWithDatabase<bool>(
        [this] { return executeWrite(Statement::removeAllConversationSummariesPS); });
}

Promise<bool> TovrinPersistence::removeConversationForProfileID(QString profileID) {
    return executeWithDatabase<bool>([this, profileID = std::move(profileID)] {
        return executeWrite(Statement::removeConversationSummaryPS, {profileID});
    });
}

Promise<bool> TovrinPersistence::updateConversationForProfileID(QString profileID, quint64 unreadCount,
                                                                bool unreadPhoto) {
    return executeWithDatabase<bool>([this, profileID = std::move(profileID), unreadCount, unreadPhoto] {
        return executeWrite(Statement::updateConversationPS, {profileID, unreadCount, unreadPhoto});
    });
}

Promise<bool> TovrinPersistence::updateInboxHistoryForProfileID(QString profileID,
                                                                ArchiveMessageResultIDs ids) {
    return executeWithDatabase<bool>([this, profileID = std::move(profileID), ids = std::move(ids)] {
        return executeWrite(Statement::updateXMPPResultIDContainerPS,
                            {profileID, ids.oldestArchiveResultID(), ids.newestArchiveResultID()});
    });
}

Promise<ArchiveMessageResultIDs> TovrinPersistence::getArchiveMessageResultIDsForTargetProfileID(
    QString profileID) {
    return executeWithDatabase<ArchiveMessageResultIDs>([this, profileID = std::move(profileID)] {
        auto cursor = execute(Statement::getXMPPResultIDContainerPS, {profileID});
        const auto row = cursor ? cursor->nextObject() : std::nullopt;
        if (!row) return ArchiveMessageResultIDs();
        return ArchiveMessageResultIDs(row->stringForColumn(0), row->stringForColumn(1));
    });
}

// Profiles

Promise<bool> TovrinPersistence::saveNearbyUser(const std::shared_ptr<NearbyUser>& user) {
    if (!user || user->profileID().isEmpty()) return executeOnSqlQueue<bool>([] { return false; });
    // Mapped here: the record may change on this thread while the queue works.
    ProfileRow row{user->profileID(), user->displayName(), user->isFavorite(),
                   JSON::serialize(nearbyUserJSONMapper_->JSONDictionaryWithNearbyUser(*user))};
    // A grid page saves each of its users at once: one commit for all of them, not one each.
    const std::lock_guard lock(profileBatchMutex_);
    if (openProfileBatch_) {
        openProfileBatch_->rows.push_back(std::move(row));
        return openProfileBatch_->promise;
    }
    auto batch = std::make_shared<ProfileBatch>();
    batch->rows.push_back(std::move(row));
    batch->promise = enqueueOnSqlQueue<bool>([this, batch] {
        std::vector<ProfileRow> rows;
        {
            const std::lock_guard taking(profileBatchMutex_);
            if (openProfileBatch_ == batch) openProfileBatch_.reset();
            rows = std::move(batch->rows);
        }
        return database_ && writeProfileRows(rows);
    });
    openProfileBatch_ = batch;
    return batch->promise;
}

void TovrinPersistence::closeProfileBatch() {
    const std::lock_guard lock(profileBatchMutex_);
    openProfileBatch_.reset();
}

// Each row stands on its own: one that fails does not take the others back.
bool TovrinPersistence::writeProfileRows(const std::vector<ProfileRow>& rows) {
    const bool began = database_->executeSQLBatch(QStringLiteral("BEGIN TRANSACTION;"));
    bool allSaved = true;
    for (const ProfileRow& row : rows) {
        allSaved = executeWrite(Statement::saveNearbyUserPS,
                                {row.profileID, row.displayName, row.favorite, row.json}) &&
                   allSaved;
    }
    if (began && !database_->executeSQLBatch(QStringLiteral("COMMIT;"))) {
        database_->executeSQLBatch(QStringLiteral("ROLLBACK;"));
        return false;
    }
    return allSaved;
}

Promise<std::shared_ptr<NearbyUser>> TovrinPersistence::getNearbyUserForProfileID(QString profileID) {
    return executeWithDatabase<std::shared_ptr<NearbyUser>>(
        [this, profileID = std::move(profileID)]() -> std::shared_ptr<NearbyUser> {
            auto cursor = execute(Statement::getNearbyUserPS, {profileID});
            const auto row = cursor ? cursor->nextObject() : std::nullopt;
            if (!row) return nullptr;
            const auto json = parseStoredJSON(row->dataForColumn(0));
            if (!json || !json->isObject()) return nullptr;
            return nearbyUserJSONMapper_->nearbyUserWithJSONDictionary(json->toObject());
        });
}

// Named JSON objects

Promise<bool> TovrinPersistence::saveJSONObjectOfType(QString type, QJsonValue JSONRepresentation) {
    const bool accepted = isContainer(JSONRepresentation);
    const QByteArray json = accepted ? JSON::serialize(JSONRepresentation) : QByteArray();
    return executeWithDatabase<bool>([this, type = std::move(type), json, accepted] {
        return accepted && executeWrite(Statement::saveJSONObjectPS, {type, json});
    });
}

std::optional<QJsonValue> TovrinPersistence::readJSONObject(const QString& type) {
    auto cursor = execute(Statement::getJSONObjectPS, {type});
    const auto row = cursor ? cursor->nextObject() : std::nullopt;
    if (!row) return std::nullopt;
    return parseStoredJSON(row->dataForColumn(0));
}

Promise<std::optional<QJsonValue>> TovrinPersistence::getObjectOfType(QString type) {
    return getObjectOfType<std::optional<QJsonValue>>(std::move(type),
                                                      [](const QJsonValue& value) { return value; });
}

Promise<bool> TovrinPersistence::saveImageHashes(const QStringList& imageHashes) {
    return saveJSONObjectOfType(kImageHashObjectType, QJsonArray::fromStringList(imageHashes));
}

Promise<std::optional<QStringList>> TovrinPersistence::getImageHashes() {
    return getObjectOfType<std::optional<QStringList>>(kImageHashObjectType, stringList);
}

Promise<bool> TovrinPersistence::saveSavedPhrases(const QStringList& savedPhrases) {
    return saveJSONObjectOfType(kSavedPhrasesObjectType, QJsonArray::fromStringList(savedPhrases));
}

Promise<std::optional<QStringList>> TovrinPersistence::getSavedPhrases() {
    return getObjectOfType<std::optional<QStringList>>(kSavedPhrasesObjectType, stringList);
}

Promise<bool> TovrinPersistence::saveFilter(const Filter& filter) {
    return saveJSONObjectOfType(kFilterObjectType, filterJSONMapper_->JSONDictionaryWithFilter(filter));
}

Promise<std::shared_ptr<Filter>> TovrinPersistence::getFilter() {
    return getObjectOfType<std::shared_ptr<Filter>>(
        kFilterObjectType, [mapper = filterJSONMapper_](const QJsonValue& value) {
            return mapper->filterWithJSONDictionary(value.toObject());
        });
}

Promise<bool> TovrinPersistence::saveCascadeFilter(const CascadeFilter& cascadeFilter) {
    return saveJSONObjectOfType(kCascadeFilterObjectType,
                                cascadeFilterJSONMapper_->JSONDictionaryWithCascadeFilter(cascadeFilter));
}

Promise<std::shared_ptr<CascadeFilter>> TovrinPersistence::getCascadeFilter() {
    return getObjectOfType<std::shared_ptr<CascadeFilter>>(
        kCascadeFilterObjectType, [mapper = cascadeFilterJSONMapper_](const QJsonValue& value) {
            return mapper->cascadeFilterWithJSONDictionary(value.toObject());
        });
}

Promise<bool> TovrinPersistence::saveConfigurationRules(const ConfigurationRules& rules) {
    return saveJSONObjectOfType(kRulesObjectType,
                                rulesJSONMapper_->JSONDictionaryWithConfigurationRules(rules));
}

Promise<std::shared_ptr<ConfigurationRules>> TovrinPersistence::getConfigurationRules() {
    return getObjectOfType<std::shared_ptr<ConfigurationRules>>(
        kRulesObjectType, [mapper = rulesJSONMapper_](const QJsonValue& value) {
            return mapper->configurationRulesWithJSONDictionary(value.toObject());
        });
}

Promise<bool> TovrinPersistence::saveLastSeenMessageInfo(const LastSeenMessageInfo& info) {
    return saveJSONObjectOfType(kLastSeenMessageInfoObjectType,
                                lastSeenMessageInfoJSONMapper_->JSONDictionaryWithLastSeenMessageInfo(info));
}

Promise<std::shared_ptr<LastSeenMessageInfo>> TovrinPersistence::getLastSeenMessageInfo() {
    return getObjectOfType<std::shared_ptr<LastSeenMessageInfo>>(
        kLastSeenMessageInfoObjectType, [mapper = lastSeenMessageInfoJSONMapper_](const QJsonValue& value) {
            return mapper->lastSeenMessageInfoWithJSONDictionary(value.toObject());
        });
}

// Broadcast messages

Promise<bool> TovrinPersistence::saveBroadcastMessageID(QString broadcastMessageID, Date expirationDate) {
    return executeWithDatabase<bool>(
        [this, broadcastMessageID = std::move(broadcastMessageID), expirationDate] {
            return executeWrite(Statement::saveBroadcastMessagePS, {broadcastMessageID, expirationDate});
        });
}

Promise<bool> TovrinPersistence::broadcastMessageIDExists(QString broadcastMessageID) {
    return executeWithDatabase<bool>([this, broadcastMessageID = std::move(broadcastMessageID)] {
        auto cursor = execute(Statement::broadcastMessageIDExistsPS, {broadcastMessageID});
        const auto row = cursor ? cursor->nextObject() : std::nullopt;
        return row && row->boolForColumn(0);
    });
}

Promise<bool> TovrinPersistence::removeExpiredBroadcastMessages() {
    return executeWithDatabase<bool>([this] {
        return executeWrite(Statement::removeExpiredBroadcastMessagesPS,
                            {currentDateProvider_->currentDate()});
    });
}

}  // namespace tovrin
