#pragma once

#include <QJsonObject>
#include <QUrl>

namespace tovrin {

// Reads one host entry of the bootstrap answer ({"protocol", "host", "port"}). Stateless.
class ServiceJSONMapper {
public:
    virtual ~ServiceJSONMapper() = default;

    // The entry's scheme, host and port, without path or query; an absent or unusable member
    // leaves its part out.
    QUrl URLWithJSONDictionary(const QJsonObject& dictionary) const;
};

}  // namespace tovrin
