#pragma once

#include <QString>

#include "platform/foundation/UUID.h"

namespace tovrin {

// New random UUID texts (36 upper-case characters). Safe on any thread.
class UUIDProvider {
public:
    virtual ~UUIDProvider() = default;
    virtual QString UUIDString() const { return makeUUIDString(); }
};

}  // namespace tovrin
