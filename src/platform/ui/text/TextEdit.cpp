#include "platform/ui/text/TextEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>

#include "platform/ui/views/View.h"

namespace tovrin::ui {

std::optional<TextEdit> TextEdit::forKey(const QKeyEvent& event, const QString& text, int cursor,
                                         int selectionStart, int selectionLength) {
    const bool selected = selectionLength > 0;
    const TextEdit overSelection{selectionStart, selectionLength, QString()};
    const int at = selected ? selectionStart : cursor;
    const int replaced = selected ? selectionLength : 0;
    if (event.matches(QKeySequence::Paste)) {
        const QString pasted = QApplication::clipboard()->text();
        if (pasted.isEmpty()) return std::nullopt;
        return TextEdit{at, replaced, pasted};
    }
    if (event.matches(QKeySequence::Cut)) return selected ? std::optional(overSelection) : std::nullopt;
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return std::nullopt;
    switch (event.key()) {
        case Qt::Key_Backspace:
            if (selected) return overSelection;
            if (cursor <= 0) return std::nullopt;
            // A surrogate pair goes as one character.
            if (cursor >= 2 && text.at(cursor - 1).isLowSurrogate() &&
                text.at(cursor - 2).isHighSurrogate()) {
                return TextEdit{cursor - 2, 2, QString()};
            }
            return TextEdit{cursor - 1, 1, QString()};
        case Qt::Key_Delete:
            if (selected) return overSelection;
            if (cursor >= text.size()) return std::nullopt;
            return TextEdit{cursor, text.at(cursor).isHighSurrogate() && cursor + 1 < text.size() ? 2 : 1,
                            QString()};
        default:
            break;
    }
    const QString typed = event.text();
    if (typed.isEmpty() || !typed.at(0).isPrint()) return std::nullopt;
    return TextEdit{at, replaced, typed};
}

void TextEdit::followFocus(View& input, QWidget& editor, const QEvent& event) {
    if (event.type() == QEvent::FocusIn) {
        if (!input.isFirstResponder() && !input.becomeFirstResponder()) editor.clearFocus();
        return;
    }
    if (event.type() != QEvent::FocusOut || !input.isFirstResponder()) return;
    const auto reason = static_cast<const QFocusEvent&>(event).reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
    if (!input.resignFirstResponder()) editor.setFocus(Qt::OtherFocusReason);
}

TextEdit TextEdit::between(const QString& before, const QString& after) {
    int prefix = 0;
    const int shorter = int(std::min(before.size(), after.size()));
    while (prefix < shorter && before.at(prefix) == after.at(prefix)) ++prefix;
    int suffix = 0;
    while (suffix < shorter - prefix &&
           before.at(before.size() - 1 - suffix) == after.at(after.size() - 1 - suffix)) {
        ++suffix;
    }
    return TextEdit{prefix, int(before.size()) - prefix - suffix,
                    after.mid(prefix, after.size() - prefix - suffix)};
}

}  // namespace tovrin::ui
