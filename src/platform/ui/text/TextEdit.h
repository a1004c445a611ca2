#pragma once

#include <QString>
#include <optional>

class QEvent;
class QKeyEvent;
class QWidget;

namespace tovrin::ui {

class View;

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

    // Keeps a text input's first-responder state with the Qt focus of its editor: focus taken by a
    // click makes it first responder (or is given back when it refuses); focus lost ends editing,
    // except to another window or a menu, which does not on a phone.
    static void followFocus(View& input, QWidget& editor, const QEvent& event);
};

}  // namespace tovrin::ui
