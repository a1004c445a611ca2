#pragma once

#include <QString>

namespace tovrin {

// The account forms' one e-mail rule, on the text as typed: not blank, no space anywhere, exactly
// one "@" with text on both sides. The field's error message, or an empty text when the address
// passes.
QString emailValidationError(const QString& email);

}  // namespace tovrin
