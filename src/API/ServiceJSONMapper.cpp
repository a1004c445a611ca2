#include "API/ServiceJSONMapper.h"

#include <cmath>

#include "Categories/Collection+NilTolerance.h"

namespace tovrin {

QUrl ServiceJSONMapper::URLWithJSONDictionary(const QJsonObject& dictionary) const {
    QUrl url;
    if (const auto host = objectOrNilForKey(dictionary, "host"); host && host->isString()) {
        url.setHost(host->toString());
    }
    if (const auto port = objectOrNilForKey(dictionary, "port"); port && port->isDouble()) {
        const double number = port->toDouble();
        if (number >= 0 && number <= 65535 && number == std::floor(number))
            url.setPort(static_cast<int>(number));
    }
    if (const auto scheme = objectOrNilForKey(dictionary, "protocol"); scheme && scheme->isString()) {
        url.setScheme(scheme->toString());
    }
    return url;
}

}  // namespace tovrin
