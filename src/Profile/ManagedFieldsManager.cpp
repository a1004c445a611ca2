#include "Profile/ManagedFieldsManager.h"

#include "platform/foundation/Localization.h"

namespace tovrin {

namespace {

std::vector<ManagedField> options(std::initializer_list<std::pair<qint32, const char*>> entries) {
    std::vector<ManagedField> list;
    for (const auto& [code, text] : entries) list.emplace_back(code, QString::fromUtf8(text));
    return list;
}

}  // namespace

ManagedFieldsDictionary ManagedFieldsManager::builtInManagedFieldsDictionary() {
    return {
        {kManagedFieldsTribesKey, options({{1, "Bear"},
                                           {2, "Clean Cut"},
                                           {3, "Daddy"},
                                           {4, "Discreet"},
                                           {5, "Geek"},
                                           {6, "Jock"},
                                           {7, "Leather"},
                                           {8, "Otter"},
                                           {9, "Poz"},
                                           {10, "Rugged"},
                                           {11, "Trans"},
                                           {12, "Twink"}})},
        {kManagedFieldsBodyTypeKey,
         options({{1, "Toned"}, {2, "Average"}, {3, "Large"}, {4, "Muscular"}, {5, "Slim"}, {6, "Stocky"}})},
        {kManagedFieldsEthnicitiesKey, options({{1, "Asian"},
                                                {2, "Black"},
                                                {3, "Latino"},
                                                {4, "Middle Eastern"},
                                                {5, "Mixed"},
                                                {6, "Native American"},
                                                {7, "White"},
                                                {8, "Other"},
                                                {9, "South Asian"}})},
        {kManagedFieldsLookingForKey, options({{2, "Chat"},
                                               {3, "Dates"},
                                               {4, "Friends"},
                                               {5, "Networking"},
                                               {6, "Relationship"},
                                               {7, "Right Now"}})},
        {kManagedFieldsRelationshipStatusKey, options({{1, "Single"},
                                                       {2, "Dating"},
                                                       {3, "Exclusive"},
                                                       {4, "Committed"},
                                                       {5, "Partnered"},
                                                       {6, "Engaged"},
                                                       {7, "Married"},
                                                       {8, "Open Relationship"}})},
        {kManagedFieldsSocialNetworkKey, options({{1, "Facebook"}, {2, "Twitter"}, {3, "Instagram"}})},
        {kManagedFieldsReportReasonsKey, options({{1, "Offensive profile image"},
                                                  {2, "Offensive profile text"},
                                                  {4, "Abusive User"},
                                                  {5, "Solicitation/Spam"},
                                                  {7, "Under Age"},
                                                  {10, "Impersonation"}})},
    };
}

Promise<void> ManagedFieldsManager::setupManagedFieldsDictionary() {
    managedFieldsDictionary_ = builtInManagedFieldsDictionary();
    if (!managedFieldsService_) return Promise<void>::resolved();
    // A failure keeps the lists there are; nobody is told.
    return managedFieldsService_->fetchManagedFieldDefinitions()
        .then(weak_from_this(),
              [](ManagedFieldsManager& manager, const ManagedFieldsDictionary& dictionary) {
                  manager.managedFieldsDictionary_ = dictionary;
              })
        .catchError([](const Error&) { return Promise<void>::resolved(); });
}

std::optional<ManagedField> ManagedFieldsManager::fieldForKey(const QString& key,
                                                              std::optional<qint32> code) const {
    if (!code) return std::nullopt;
    if (const auto list = allFieldsForKey(key)) {
        for (const ManagedField& field : *list) {
            if (field.code() == *code) return field;
        }
    }
    return ManagedField(*code, localizedString("Other"));
}

std::optional<std::vector<ManagedField>> ManagedFieldsManager::allFieldsForKey(const QString& key) const {
    if (!managedFieldsDictionary_) return std::nullopt;
    const auto found = managedFieldsDictionary_->find(key);
    if (found == managedFieldsDictionary_->end()) return std::nullopt;
    return found->second;
}

std::optional<std::vector<ManagedField>> ManagedFieldsManager::fieldsForKey(
    const QString& key, const std::optional<std::vector<qint32>>& codes) const {
    if (!codes) return std::nullopt;
    std::vector<ManagedField> fields;
    fields.reserve(codes->size());
    for (const qint32 code : *codes) fields.push_back(*fieldForKey(key, code));
    return fields;
}

}  // namespace tovrin
