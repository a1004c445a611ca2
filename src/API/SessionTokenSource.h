#pragma once

#include <QString>
#include <optional>

namespace tovrin {

// Where signed-in requests take the member's session token from.
class SessionTokenSource {
public:
    virtual ~SessionTokenSource() = default;

    // The token held in memory; nothing without one.
    virtual std::optional<QString> sessionToken() const = 0;
};

}  // namespace tovrin
