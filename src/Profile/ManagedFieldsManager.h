#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "Profile/ManagedField.h"
#include "Profile/ManagedFieldsService.h"
#include "platform/di/Inject.h"

namespace tovrin {

inline const QString kManagedFieldsTribesKey = QStringLiteral("tovrinTribes");
inline const QString kManagedFieldsBodyTypeKey = QStringLiteral("bodyType");
inline const QString kManagedFieldsEthnicitiesKey = QStringLiteral("ethnicity");
inline const QString kManagedFieldsLookingForKey = QStringLiteral("lookingFor");
inline const QString kManagedFieldsRelationshipStatusKey = QStringLiteral("relationshipStatus");
inline const QString kManagedFieldsSocialNetworkKey = QStringLiteral("socialNetworks");
inline const QString kManagedFieldsReportReasonsKey = QStringLiteral("reportReasons");

// The option lists of the whole process, with lookup by code. Empty until set up; then the built-in
// lists until the service's arrive, which replace them whole (a list they lack is absent from then
// on). A failed fetch keeps what there is and is not repeated. Main thread only.
class ManagedFieldsManager : public std::enable_shared_from_this<ManagedFieldsManager> {
public:
    explicit ManagedFieldsManager(std::shared_ptr<ManagedFieldsService> managedFieldsService)
        : managedFieldsService_(std::move(managedFieldsService)) {}

    using Dependencies = Inject<ManagedFieldsService>;

    // The lists every run starts with; their texts are shown as they are, untranslated.
    static ManagedFieldsDictionary builtInManagedFieldsDictionary();

    // Installs the built-in lists and starts fetching the service's. Once per run. The promise is
    // fulfilled once the answer was taken or a failure left the lists as they were; it never rejects
    // and nobody needs to wait for it.
    Promise<void> setupManagedFieldsDictionary();

    const std::optional<ManagedFieldsDictionary>& managedFieldsDictionary() const {
        return managedFieldsDictionary_;
    }
    void setManagedFieldsDictionary(std::optional<ManagedFieldsDictionary> dictionary) {
        managedFieldsDictionary_ = std::move(dictionary);
    }
    const std::shared_ptr<ManagedFieldsService>& managedFieldsService() const {
        return managedFieldsService_;
    }
    void setManagedFieldsService(std::shared_ptr<ManagedFieldsService> service) {
        managedFieldsService_ = std::move(service);
    }

    // The first option of the list with the code; one with the code and the text "Other" when the
    // list has none (or there is no such list). Nothing for no code.
    std::optional<ManagedField> fieldForKey(const QString& key, std::optional<qint32> code) const;
    // Nothing when there is no such list.
    std::optional<std::vector<ManagedField>> allFieldsForKey(const QString& key) const;

    std::optional<std::vector<ManagedField>> allTribes() const {
        return allFieldsForKey(kManagedFieldsTribesKey);
    }
    std::optional<std::vector<ManagedField>> allBodyTypes() const {
        return allFieldsForKey(kManagedFieldsBodyTypeKey);
    }
    std::optional<std::vector<ManagedField>> allEthnicities() const {
        return allFieldsForKey(kManagedFieldsEthnicitiesKey);
    }
    std::optional<std::vector<ManagedField>> allLookingFors() const {
        return allFieldsForKey(kManagedFieldsLookingForKey);
    }
    std::optional<std::vector<ManagedField>> allRelationshipStatuses() const {
        return allFieldsForKey(kManagedFieldsRelationshipStatusKey);
    }
    std::optional<std::vector<ManagedField>> allReportReasons() const {
        return allFieldsForKey(kManagedFieldsReportReasonsKey);
    }

    std::optional<ManagedField> bodyTypeForCode(std::optional<qint32> code) const {
        return fieldForKey(kManagedFieldsBodyTypeKey, code);
    }
    std::optional<ManagedField> ethnicityNameForCode(std::optional<qint32> code) const {
        return fieldForKey(kManagedFieldsEthnicitiesKey, code);
    }
    std::optional<ManagedField> relationshipStatusNameForCode(std::optional<qint32> code) const {
        return fieldForKey(kManagedFieldsRelationshipStatusKey, code);
    }
    std::optional<ManagedField> reportReasonNameForCode(std::optional<qint32> code) const {
        return fieldForKey(kManagedFieldsReportReasonsKey, code);
    }

    // One option per code, in order; nothing for no array.
    std::optional<std::vector<ManagedField>> tribeNamesForCodes(
        const std::optional<std::vector<qint32>>& codes) const {
        return fieldsForKey(kManagedFieldsTribesKey, codes);
    }
    std::optional<std::vector<ManagedField>> lookingForNamesForCodes(
        const std::optional<std::vector<qint32>>& codes) const {
        return fieldsForKey(kManagedFieldsLookingForKey, codes);
    }

private:
    std::optional<std::vector<ManagedField>> fieldsForKey(
        const QString& key, const std::optional<std::vector<qint32>>& codes) const;

    std::optional<ManagedFieldsDictionary> managedFieldsDictionary_;
    std::shared_ptr<ManagedFieldsService> managedFieldsService_;
};

}  // namespace tovrin
