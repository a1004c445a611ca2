#pragma once

#include <ostream>

#include "Profile/ManagedField.h"
#include "Profile/SocialNetwork.h"

namespace tovrin {

// Readable failures for the profile's values.
inline void PrintTo(const ManagedField& field, std::ostream* out) {
    *out << "(" << field.code() << ", "
         << (field.localizedStringRepresentation() ? field.localizedStringRepresentation()->toStdString()
                                                   : "no text")
         << ")";
}

inline void PrintTo(const SocialNetwork& network, std::ostream* out) {
    *out << "(" << (network.userID() ? network.userID()->toStdString() : "no id") << ", " << network.type()
         << ")";
}

}  // namespace tovrin
