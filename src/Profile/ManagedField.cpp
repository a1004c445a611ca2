#include "Profile/ManagedField.h"

namespace tovrin {

QString ManagedField::description() const {
    return QStringLiteral("<<ManagedField: 0x%1> code: %2, localizedString: %3>")
        .arg(quintptr(this), 0, 16)
        .arg(code_)
        .arg(localizedStringRepresentation_.value_or(QStringLiteral("(null)")));
}

// Unsigned, so the sum wraps instead of overflowing; an absent text hashes as the empty one, which
// only lets the two share a bucket.
size_t ManagedField::hash() const {
    const size_t textHash = localizedStringRepresentation_ ? qHash(*localizedStringRepresentation_) : 0;
    return textHash + 17u * size_t(quint32(code_));
}

}  // namespace tovrin
