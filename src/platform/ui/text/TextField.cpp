#include "platform/ui/text/TextField.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include "platform/ui/text/Font.h"

namespace tovrin::ui {
namespace {

constexpr double SideMargin = 6;

bool shows(TextField::ViewMode mode, bool editing) {
    switch (mode) {
        case TextField::ViewMode::Never:
            return false;
        case TextField::ViewMode::WhileEditing:
            return editing;
        case TextField::ViewMode::UnlessEditing:
            return !editing;
        case TextField::ViewMode::Always:
            return true;
    }
    return true;
}

}  // namespace

TextField::TextField(QWidget* parent) : Control(parent), editor_(new QLineEdit(this)) {
    editor_->setFrame(false);
    editor_->setAttribute(Qt::WA_MacShowFocusRect, false);
    editor_->setStyleSheet(QStringLiteral("background: transparent;"));
    editor_->setFocusPolicy(Qt::ClickFocus);
    editor_->setMaxLength(1 << 24);
    editor_->installEventFilter(this);
    setFont(Font::systemFont(17));
    setTextColor(Qt::black);
    connect(editor_, &QLineEdit::textEdited, this, [this](const QString& text) { userEdited(text); });
}

TextField::~TextField() {
    editor_->removeEventFilter(this);
    editor_->disconnect(this);
    if (leftView_) leftView_->removeFromSuperview();
    if (rightView_) rightView_->removeFromSuperview();
}

QString TextField::text() const {
    return editor_->text();
}

void TextField::setText(const QString& text) {
    lastText_ = text;
    editor_->setText(text);
}

QString TextField::placeholder() const {
    return editor_->placeholderText();
}

void TextField::setPlaceholder(const QString& placeholder) {
    attributedPlaceholder_.reset();
    editor_->setPlaceholderText(placeholder);
    applyPlaceholderColor();
}

void TextField::setAttributedPlaceholder(const AttributedString& placeholder) {
    attributedPlaceholder_ = placeholder;
    editor_->setPlaceholderText(placeholder.string());
    applyPlaceholderColor();
}

void TextField::applyPlaceholderColor() {
    QPalette palette = editor_->palette();
    QColor color(0, 0, 0, 56);
    if (attributedPlaceholder_ && !attributedPlaceholder_->runs().empty()) {
        color = attributedPlaceholder_->runs().front().attributes.foregroundColor.value_or(color);
    }
    palette.setColor(QPalette::PlaceholderText, color);
    palette.setColor(QPalette::Text, textColor_);
    editor_->setPalette(palette);
}

QFont TextField::font() const {
    return editor_->font();
}

void TextField::setFont(const QFont& font) {
    editor_->setFont(font);
    setNeedsLayout();
}

void TextField::setTextColor(const QColor& color) {
    textColor_ = color;
    applyPlaceholderColor();
}

void TextField::setTextAlignment(Qt::Alignment alignment) {
    editor_->setAlignment(alignment | Qt::AlignVCenter);
}

bool TextField::isSecureTextEntry() const {
    return editor_->echoMode() == QLineEdit::Password;
}

void TextField::setSecureTextEntry(bool secure) {
    editor_->setEchoMode(secure ? QLineEdit::Password : QLineEdit::Normal);
}

void TextField::setBorderStyle(BorderStyle style) {
    borderStyle_ = style;
    update();
}

void TextField::setLeftView(std::shared_ptr<View> view, ViewMode mode) {
    if (leftView_) leftView_->removeFromSuperview();
    leftView_ = std::move(view);
    leftMode_ = mode;
    if (leftView_) addSubview(leftView_.get());
    updateSideViews();
}

void TextField::setRightView(std::shared_ptr<View> view, ViewMode mode) {
    if (rightView_) rightView_->removeFromSuperview();
    rightView_ = std::move(view);
    rightMode_ = mode;
    if (rightView_) addSubview(rightView_.get());
    updateSideViews();
}

void TextField::updateSideViews() {
    if (leftView_) leftView_->setHidden(!shows(leftMode_, editing_));
    if (rightView_) rightView_->setHidden(!shows(rightMode_, editing_));
    setNeedsLayout();
}

bool TextField::canResignFirstResponder() const {
    auto delegate = delegate_.lock();
    return !delegate || delegate->shouldEndEditing(const_cast<TextField&>(*this));
}

bool TextField::becomeFirstResponder() {
    if (isFirstResponder()) return true;
    if (auto delegate = delegate_.lock(); delegate && !delegate->shouldBeginEditing(*this)) return false;
    return Control::becomeFirstResponder();
}

void TextField::didBecomeFirstResponder() {
    editing_ = true;
    lastText_ = editor_->text();
    if (!editor_->hasFocus()) editor_->setFocus(Qt::OtherFocusReason);
    updateSideViews();
    QPointer<TextField> self(this);
    sendActionsForControlEvents(EditingDidBegin);
    if (!self) return;
    if (auto delegate = delegate_.lock()) delegate->didBeginEditing(*this);
}

void TextField::didResignFirstResponder() {
    editing_ = false;
    if (editor_->hasFocus()) editor_->clearFocus();
    updateSideViews();
    QPointer<TextField> self(this);
    sendActionsForControlEvents(EditingDidEnd);
    if (!self) return;
    if (auto delegate = delegate_.lock()) delegate->didEndEditing(*this);
}

bool TextField::allows(const TextEdit& edit) {
    auto delegate = delegate_.lock();
    return !delegate || delegate->shouldChangeCharacters(*this, edit);
}

void TextField::userEdited(const QString& text) {
    const bool approved = preApproved_;
    preApproved_ = false;
    if (!approved && !allows(TextEdit::between(lastText_, text))) {
        // An edit nobody foresaw (undo, drop) and the delegate refuses it: put the text back.
        const QSignalBlocker blocker(editor_);
        editor_->setText(lastText_);
        return;
    }
    lastText_ = text;
    sendActionsForControlEvents(EditingChanged);
}

void TextField::returnPressed() {
    auto delegate = delegate_.lock();
    QPointer<TextField> self(this);
    if (delegate && !delegate->shouldReturn(*this)) return;
    const bool ends = hasTargets(EditingDidEndOnExit);
    sendActionsForControlEvents(EditingDidEndOnExit);
    if (self && ends) resignFirstResponder();
}

bool TextField::eventFilter(QObject* watched, QEvent* event) {
    if (watched != editor_) return Control::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            TextEdit::followFocus(*this, *editor_, *event);
            return false;
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                returnPressed();
                return true;
            }
            const auto edit =
                TextEdit::forKey(*key, editor_->text(), editor_->cursorPosition(), editor_->selectionStart(),
                                 int(editor_->selectedText().size()));
            if (!edit) return false;
            if (!allows(*edit)) return true;
            preApproved_ = true;
            return false;
        }
        default:
            return false;
    }
}

QSizeF TextField::intrinsicContentSize() const {
    return QSizeF(-1, QFontMetricsF(editor_->font()).height() + 12);
}

QSizeF TextField::sizeThatFits(const QSizeF& size) const {
    const QSizeF intrinsic = intrinsicContentSize();
    const double width = size.width() > 0 ? size.width() : (intrinsic.width() >= 0 ? intrinsic.width() : 100);
    return QSizeF(width, intrinsic.height());
}

QRectF TextField::contentArea(const QRectF& bounds) const {
    const double margin = borderStyle_ == BorderStyle::None ? 0 : SideMargin;
    return bounds.adjusted(margin, 0, -margin, 0);
}

bool TextField::showsSideView(const std::shared_ptr<View>& view) const {
    return view && !view->isHidden();
}

QSizeF TextField::sideViewSize(const std::shared_ptr<View>& view, const QRectF& area) const {
    QSizeF size = view->frame().size();
    if (size.isEmpty()) size = view->sizeThatFits(area.size());
    return size;
}

QRectF TextField::rightViewRectForBounds(const QRectF& bounds) const {
    if (!rightView_) return QRectF();
    const QRectF area = contentArea(bounds);
    const QSizeF size = sideViewSize(rightView_, area);
    return QRectF(area.right() - size.width(), area.top() + (area.height() - size.height()) / 2, size.width(),
                  size.height());
}

QRectF TextField::textRectForBounds(const QRectF& bounds) const {
    QRectF area = contentArea(bounds);
    if (showsSideView(leftView_)) area.setLeft(area.left() + sideViewSize(leftView_, area).width());
    if (showsSideView(rightView_)) {
        area.setRight(area.right() - sideViewSize(rightView_, area).width());
    }
    return area;
}

void TextField::layoutSubviews() {
    const QRectF area = contentArea(bounds());
    if (showsSideView(leftView_)) {
        const QSizeF size = sideViewSize(leftView_, area);
        leftView_->setFrame(QRectF(area.left(), area.top() + (area.height() - size.height()) / 2,
                                   size.width(), size.height()));
    }
    if (showsSideView(rightView_)) rightView_->setFrame(rightViewRectForBounds(bounds()));
    editor_->setGeometry(
        pixelAligned(editing_ ? editingRectForBounds(bounds()) : textRectForBounds(bounds())));
}

void TextField::drawRect(QPainter& painter, const QRectF& rect) {
    if (borderStyle_ == BorderStyle::None) return;
    painter.setPen(QPen(QColor(0, 0, 0, 50), 1));
    painter.setBrush(borderStyle_ == BorderStyle::RoundedRect ? QColor(Qt::white) : QColor(Qt::transparent));
    const double radius = borderStyle_ == BorderStyle::RoundedRect ? 5 : 0;
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

}  // namespace tovrin::ui
