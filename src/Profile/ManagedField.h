#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <optional>

namespace tovrin {

// One option of a server-managed list: the code that profiles, updates, filters and reports carry,
// and the text shown for it. A value: equal when code and text are equal (two options without text
// included, so an option read back can always be found again in its list).
class ManagedField {
public:
    ManagedField(qint32 code, std::optional<QString> localizedStringRepresentation)
        : code_(code), localizedStringRepresentation_(std::move(localizedStringRepresentation)) {}

    qint32 code() const { return code_; }
    const std::optional<QString>& localizedStringRepresentation() const {
        return localizedStringRepresentation_;
    }

    // "<<ManagedField: 0x…> code: 3, localizedString: Daddy>"; "(null)" for no text.
    QString description() const;
    size_t hash() const;

    friend bool operator==(const ManagedField& a, const ManagedField& b) {
        return a.code_ == b.code_ && a.localizedStringRepresentation_ == b.localizedStringRepresentation_;
    }

private:
    qint32 code_;
    std::optional<QString> localizedStringRepresentation_;
};

inline size_t qHash(const ManagedField& field, size_t seed = 0) {
    return field.hash() ^ seed;
}

}  // namespace tovrin

template <>
struct std::hash<tovrin::ManagedField> {
    size_t operator()(const tovrin::ManagedField& field) const noexcept { return field.hash(); }
};
