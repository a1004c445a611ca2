#include "sandbox/world/ManagedFields.h"

#include <QJsonArray>

namespace tovrin::sandbox {

const QList<QPair<QString, ManagedFields::Options>>& ManagedFields::lists() {
    static const QList<QPair<QString, Options>> lists = {
        {"tovrinTribes",
         {{1, "Bear"},
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
          {12, "Twink"}}},
        {"bodyType",
         {{1, "Toned"}, {2, "Average"}, {3, "Large"}, {4, "Muscular"}, {5, "Slim"}, {6, "Stocky"}}},
        {"ethnicity",
         {{1, "Asian"},
          {2, "Black"},
          {3, "Latino"},
          {4, "Middle Eastern"},
          {5, "Mixed"},
          {6, "Native American"},
          {7, "White"},
          {8, "Other"},
          {9, "South Asian"}}},
        {"lookingFor",
         {{2, "Chat"},
          {3, "Dates"},
          {4, "Friends"},
          {5, "Networking"},
          {6, "Relationship"},
          {7, "Right Now"}}},
        {"relationshipStatus",
         {{1, "Single"},
          {2, "Dating"},
          {3, "Exclusive"},
          {4, "Committed"},
          {5, "Partnered"},
          {6, "Engaged"},
          {7, "Married"},
          {8, "Open Relationship"}}},
        {"socialNetworks", {{1, "Facebook"}, {2, "Twitter"}, {3, "Instagram"}}},
        {"reportReasons",
         {{1, "Offensive profile image"},
          {2, "Offensive profile text"},
          {4, "Abusive User"},
          {5, "Solicitation/Spam"},
          {7, "Under Age"},
          {10, "Impersonation"}}},
    };
    return lists;
}

const ManagedFields::Options& ManagedFields::options(const QString& list) {
    static const Options none;
    for (const auto& [name, options] : lists()) {
        if (name == list) return options;
    }
    return none;
}

QJsonObject ManagedFields::fieldsJSON() {
    QJsonObject fields;
    for (const auto& [name, options] : lists()) {
        QJsonArray entries;
        for (const auto& [code, optionName] : options)
            entries.append(QJsonObject{{"fieldId", code}, {"name", optionName}});
        fields.insert(name, entries);
    }
    return {{"fields", fields}};
}

}  // namespace tovrin::sandbox
