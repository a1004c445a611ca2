#include "platform/ui/text/TextView.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextEdit>

#include "platform/ui/text/Font.h"

namespace tovrin::ui {

TextView::TextView(QWidget* parent) : View(parent), editor_(new QTextEdit(this)) {
    editor_->setAcceptRichText(false);
    editor_->setFrameShape(QFrame::NoFrame);
    editor_->setStyleSheet(QStringLiteral("background: transparent;"));
    editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editor_->setFocusPolicy(Qt::ClickFocus);
    editor_->document()->setDocumentMargin(0);
    editor_->installEventFilter(this);
    setFont(Font::systemFont(17));
    connect(editor_, &QTextEdit::textChanged, this, [this] { contentsChanged(); });
}

TextView::~TextView() {
    editor_->removeEventFilter(this);
    editor_->disconnect(this);
}

QString TextView::text() const {
    return editor_->toPlainText();
}

void TextView::setText(const QString& text) {
    settingText_ = true;
    editor_->setPlainText(text);
    settingText_ = false;
    lastText_ = text;
}

QFont TextView::font() const {
    return editor_->font();
}

void TextView::setFont(const QFont& font) {
    editor_->setFont(font);
    editor_->document()->setDefaultFont(font);
}

void TextView::setTextColor(const QColor& color) {
    QPalette palette = editor_->palette();
    palette.setColor(QPalette::Text, color);
    editor_->setPalette(palette);
}

void TextView::setTextContainerInset(const EdgeInsets& insets) {
    textContainerInset_ = insets;
    setNeedsLayout();
}

void TextView::setEditable(bool editable) {
    editable_ = editable;
    editor_->setReadOnly(!editable);
}

void TextView::setScrollEnabled(bool enabled) {
    scrollEnabled_ = enabled;
}

QSizeF TextView::contentSize() const {
    const QSizeF document = editor_->document()->size();
    return QSizeF(bounds().width(), document.height() + textContainerInset_.top + textContainerInset_.bottom);
}

QPointF TextView::contentOffset() const {
    return QPointF(0, editor_->verticalScrollBar()->value());
}

void TextView::setContentOffset(const QPointF& offset) {
    editor_->verticalScrollBar()->setValue(int(offset.y()));
}

bool TextView::canResignFirstResponder() const {
    auto delegate = delegate_.lock();
    return !delegate || delegate->shouldEndEditing(const_cast<TextView&>(*this));
}

bool TextView::becomeFirstResponder() {
    if (isFirstResponder()) return true;
    if (auto delegate = delegate_.lock(); delegate && !delegate->shouldBeginEditing(*this)) return false;
    return View::becomeFirstResponder();
}

void TextView::didBecomeFirstResponder() {
    lastText_ = text();
    if (!editor_->hasFocus()) editor_->setFocus(Qt::OtherFocusReason);
    if (auto delegate = delegate_.lock()) delegate->didBeginEditing(*this);
}

void TextView::didResignFirstResponder() {
    if (editor_->hasFocus()) editor_->clearFocus();
    if (auto delegate = delegate_.lock()) delegate->didEndEditing(*this);
}

bool TextView::allows(const TextEdit& edit) {
    auto delegate = delegate_.lock();
    return !delegate || delegate->shouldChangeText(*this, edit);
}

void TextView::contentsChanged() {
    if (settingText_) return;
    const QString current = text();
    if (current == lastText_) return;
    const bool approved = preApproved_;
    preApproved_ = false;
    if (!approved && !allows(TextEdit::between(lastText_, current))) {
        const QSignalBlocker blocker(editor_);
        setText(lastText_);
        return;
    }
    lastText_ = current;
    if (auto delegate = delegate_.lock()) delegate->didChange(*this);
}

bool TextView::eventFilter(QObject* watched, QEvent* event) {
    if (watched != editor_) return View::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::FocusIn:
            if (!isFirstResponder() && !becomeFirstResponder()) editor_->clearFocus();
            return false;
        case QEvent::FocusOut: {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (isFirstResponder() && reason != Qt::ActiveWindowFocusReason &&
                reason != Qt::PopupFocusReason) {
                if (!resignFirstResponder()) editor_->setFocus(Qt::OtherFocusReason);
            }
            return false;
        }
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            const QTextCursor cursor = editor_->textCursor();
            std::optional<TextEdit> edit;
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                edit = TextEdit{cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart(),
                                QStringLiteral("\n")};
            } else {
                edit = TextEdit::forKey(*key, text(), cursor.position(), cursor.selectionStart(),
                                        cursor.selectionEnd() - cursor.selectionStart());
            }
            if (!edit) return false;
            if (!allows(*edit)) return true;
            preApproved_ = true;
            return false;
        }
        default:
            return false;
    }
}

QSizeF TextView::sizeThatFits(const QSizeF& size) const {
    QTextDocument document;
    document.setDocumentMargin(0);
    document.setDefaultFont(editor_->font());
    document.setPlainText(text().isEmpty() ? QStringLiteral(" ") : text());
    const double width = size.width() > 0 ? size.width() : bounds().width();
    document.setTextWidth(std::max(1.0, width - textContainerInset_.left - textContainerInset_.right));
    return QSizeF(width, document.size().height() + textContainerInset_.top + textContainerInset_.bottom);
}

void TextView::layoutSubviews() {
    editor_->setGeometry(pixelAligned(textContainerInset_.inset(QRectF(QPointF(0, 0), bounds().size()))));
}

}  // namespace tovrin::ui
