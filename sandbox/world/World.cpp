#include "sandbox/world/World.h"

#include <QRandomGenerator>

#include "sandbox/world/ManagedFields.h"

namespace tovrin::sandbox {

Member& World::addMember(Member member) {
    lastProfileID_ = std::max(lastProfileID_, member.profileID.toULongLong());
    const QString profileID = member.profileID;
    return members_.insert_or_assign(profileID, std::move(member)).first->second;
}

QString World::nextProfileID() {
    return QString::number(++lastProfileID_);
}

void World::removeMember(const QString& profileID) {
    endSessions(profileID);
    members_.erase(profileID);
    for (auto& [id, member] : members_) {
        member.favorites.removeAll(profileID);
        member.blocks.remove(profileID);
    }
}

Member* World::member(const QString& profileID) {
    const auto found = members_.find(profileID);
    return found == members_.end() ? nullptr : &found->second;
}

Member* World::memberWithEmail(const QString& email) {
    for (auto& [id, member] : members_) {
        if (member.email.compare(email, Qt::CaseInsensitive) == 0) return &member;
    }
    return nullptr;
}

QString World::startSession(const QString& profileID) {
    const QString token = randomToken();
    sessions_.insert(token, profileID);
    return token;
}

Member* World::memberForSessionToken(const QString& token) {
    const auto found = sessions_.constFind(token);
    return found == sessions_.constEnd() ? nullptr : member(*found);
}

void World::endSessions(const QString& profileID) {
    sessions_.removeIf([&](const auto& session) { return session.value() == profileID; });
}

bool World::isBlockedBetween(const QString& first, const QString& second) const {
    const auto blocked = [&](const QString& blocker, const QString& blockee) {
        const auto found = members_.find(blocker);
        return found != members_.end() && found->second.blocks.contains(blockee);
    };
    return blocked(first, second) || blocked(second, first);
}

QJsonObject World::managedFieldsJSON() const {
    return managedFields_ ? QJsonObject{{"fields", *managedFields_}} : ManagedFields::fieldsJSON();
}

QString World::randomToken() {
    QByteArray bytes(20, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    return QString::fromLatin1(bytes.toHex());
}

}  // namespace tovrin::sandbox
