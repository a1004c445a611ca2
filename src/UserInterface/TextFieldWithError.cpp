#include "UserInterface/TextFieldWithError.h"

#include <QFontMetricsF>

#include "Categories/UI/Color+Tovrin.h"
#include "Categories/UI/Font+Tovrin.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/text/Label.h"

namespace tovrin {
namespace {

constexpr double TextInset = 14;
constexpr double ClearButtonSide = 45;

}  // namespace

TextFieldWithError::TextFieldWithError(const QRectF& frame, QWidget* parent) : ui::TextField(parent) {
    setFrame(frame);
    setUp();
}

TextFieldWithError::TextFieldWithError(const QString& placeholder, const QRectF& frame, QWidget* parent)
    : ui::TextField(parent) {
    setFrame(frame);
    ui::TextField::setPlaceholder(placeholder);
    setUp();
}

void TextFieldWithError::setUp() {
    setIsAccessibilityElement(true);
    setAccessibilityIdentifier(placeholder());
    setBorderStyle(BorderStyle::None);
    setBackgroundColor(Qt::transparent);
    paddingSize_ = 5;
    setLeftView(nullptr, ViewMode::Always);

    metaLabel_ = new ui::Label();
    metaLabel_->setFont(tovrinFont(QStringLiteral("DINOT"), 10));
    metaLabel_->setHidden(true);
    metaLabel_->setUserInteractionEnabled(false);
    addSubview(metaLabel_);

    clearButton_ = new ui::Button(ui::Button::Type::Custom);
    clearButton_->setImage(ui::Image::named(QStringLiteral("clearButton")));
    clearButton_->setFrame(QRectF(0, 0, ClearButtonSide, ClearButtonSide));
    clearButton_->setHidden(true);
    clearButton_->addTarget(ui::Control::TouchUpInside, [this](ui::Control&) { clearTextField(); });
    setRightView(ui::sharedWidget<ui::View>(clearButton_), ViewMode::WhileEditing);

    addTarget(EditingChanged, [this](ui::Control&) { valueChanged(); });
    addTarget(EditingDidBegin, [this](ui::Control&) { editingBegan(); });
}

void TextFieldWithError::setPaddingSize(double padding) {
    paddingSize_ = padding;
    invalidateIntrinsicContentSize();
    setNeedsLayout();
}

bool TextFieldWithError::shiftTextWithPadding() const {
    return !text().isEmpty() || !metaLabel_->isHidden();
}

void TextFieldWithError::setPlaceholder(const QString& placeholder) {
    ui::TextField::setPlaceholder(placeholder);
    metaLabel_->setText(placeholder);
}

void TextFieldWithError::valueChanged() {
    const bool empty = text().isEmpty();
    showsError_ = false;
    metaLabel_->setText(placeholder());
    metaLabel_->setHidden(empty);
    clearButton_->setHidden(empty);
    setBackgroundColor(tovrinGrayBlack1Color());
    // The text moves down while the caption shows.
    setNeedsLayout();
}

void TextFieldWithError::editingBegan() {
    metaLabel_->setTextColor(tovrinOffWhiteColor());
    setTextColor(tovrinOffWhiteColor());
    valueChanged();
}

void TextFieldWithError::showErrorMessage(const QString& message) {
    showsError_ = true;
    metaLabel_->setText(message);
    metaLabel_->setHidden(false);
    clearButton_->setHidden(true);
    metaLabel_->setTextColor(tovrinOffWhiteColor());
    setTextColor(tovrinOffWhiteColor());
    setBackgroundColor(tovrinDestructiveActionColor());
    setNeedsLayout();
}

void TextFieldWithError::clearTextField() {
    setText(QString(""));
    metaLabel_->setHidden(true);
    clearButton_->setHidden(true);
    setBackgroundColor(tovrinGrayBlack1Color());
    QPointer<TextFieldWithError> self(this);
    // The screen's handlers run as after typing; one of them may take the field away.
    sendActionsForControlEvents(EditingChanged);
    if (self) valueChanged();
}

QString TextFieldWithError::accessibilityLabel() const {
    // A secret is never read out, only how long it is.
    const QString value = isSecureTextEntry() ? QString(text().size(), QChar(0x2022)) : text();
    return QStringLiteral("Value: %1, Error State: %2, Error Text: %3")
        .arg(value, showsError_ ? QStringLiteral("YES") : QStringLiteral("NO"),
             showsError_ ? metaLabel_->text() : QString());
}

double TextFieldWithError::captionLineHeight() const {
    return QFontMetricsF(metaLabel_->font()).height();
}

QRectF TextFieldWithError::textRectForBounds(const QRectF& bounds) const {
    return ui::TextField::textRectForBounds(bounds).translated(TextInset,
                                                               shiftTextWithPadding() ? paddingSize_ : 0);
}

QRectF TextFieldWithError::rightViewRectForBounds(const QRectF& bounds) const {
    return ui::TextField::rightViewRectForBounds(bounds).translated(-paddingSize_, 0);
}

QSizeF TextFieldWithError::intrinsicContentSize() const {
    const QSizeF size = ui::TextField::intrinsicContentSize();
    return QSizeF(size.width(), size.height() + captionLineHeight() + 2 * paddingSize_);
}

void TextFieldWithError::layoutSubviews() {
    ui::TextField::layoutSubviews();
    const QRectF text = textRectForBounds(bounds());
    metaLabel_->setFrame(QRectF(text.left(), paddingSize_, text.width(), captionLineHeight()));
}

}  // namespace tovrin
