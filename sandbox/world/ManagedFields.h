#pragma once

#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

namespace tovrin::sandbox {

// The option lists the service manages ("tovrinTribes", "bodyType", …): codes with their names.
class ManagedFields {
public:
    using Options = QList<QPair<int, QString>>;

    static const QList<QPair<QString, Options>>& lists();
    static const Options& options(const QString& list);
    // The answer of "/v3/managed-fields": {"fields": {list: [{"fieldId", "name"}, …]}}.
    static QJsonObject fieldsJSON();
};

}  // namespace tovrin::sandbox
