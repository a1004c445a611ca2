#pragma once

#include <QByteArray>

#include "API/TovrinRequest.h"

namespace tovrin {

// A request with raw body bytes (or none) and its own content type.
class TovrinBinaryDataRequest : public TovrinRequest {
public:
    virtual const std::optional<QByteArray>& data() const = 0;
    virtual const QString& contentType() const = 0;
};

}  // namespace tovrin
