#pragma once

#include <QJsonObject>

#include "API/TovrinRequest.h"

namespace tovrin {

// A request whose body, when there is one, is a JSON object.
class TovrinJSONRequest : public TovrinRequest {
public:
    virtual const std::optional<QJsonObject>& jsonBody() const = 0;
};

}  // namespace tovrin
