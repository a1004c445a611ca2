#pragma once

#include <QString>
#include <optional>

class QKeyEvent;

namespace tovrin::ui {

// A proposed change of a text: `length` characters from `start` replaced by `replacement`
// (UTF-16 code units, as the text stores them).
struct TextEdit {
    int start = 0;
    int length = 0;
    QString replacement;

    // The edit a key press would make to the text with that cursor and selection; none for keys
    // that do not edit, or whose edit cannot be foreseen (those are checked once made).
    static std::optional<TextEdit> forKey(const QKeyEvent& event, const QString& text, int cursor,
                                          int selectionStart, int selectionLength);
    // The smallest edit that turns `before` into `after`.
    static TextEdit between(const QString& before, const QString& after);
};

}  // namespace tovrin::ui
