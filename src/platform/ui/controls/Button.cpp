#include "platform/ui/controls/Button.h"

#include <QPainter>

#include "platform/ui/controls/ImageView.h"
#include "platform/ui/text/Font.h"
#include "platform/ui/text/Label.h"

namespace tovrin::ui {

Button::Button(Type type, QWidget* parent)
    : Control(parent), type_(type), titleLabel_(new Label(this)), imageView_(new ImageView(this)) {
    titleLabel_->setFont(Font::systemFont(type == Type::System ? 17 : 15));
    titleLabel_->setTextAlignment(Qt::AlignCenter);
    titleLabel_->setUserInteractionEnabled(false);
    titleLabel_->setTextColor(type == Type::System ? tintColor() : Qt::white);
    updateContent();
}

template <class T>
std::optional<T> Button::lookup(const std::map<int, T>& values, int state) {
    for (int candidate : {state, (state & Selected) ? int(Selected) : int(Normal), int(Normal)}) {
        auto found = values.find(candidate);
        if (found != values.end()) return found->second;
    }
    return std::nullopt;
}

void Button::setTitle(const QString& title, int state) {
    titles_[state] = title;
    updateContent();
}

QString Button::titleForState(int state) const {
    return lookup(titles_, state).value_or(QString());
}

void Button::setAttributedTitle(const std::optional<AttributedString>& title, int state) {
    if (title) {
        attributedTitles_[state] = *title;
    } else {
        attributedTitles_.erase(state);
    }
    updateContent();
}

void Button::setTitleColor(const QColor& color, int state) {
    titleColors_[state] = color;
    updateContent();
}

QColor Button::titleColorForState(int state) const {
    if (auto color = lookup(titleColors_, state)) return *color;
    if (type_ != Type::System) return Qt::white;
    QColor tint = (state & Disabled) ? QColor(Qt::gray) : tintColor();
    if (state & Highlighted) tint.setAlphaF(0.2f);
    return tint;
}

void Button::setImage(const Image& image, int state) {
    images_[state] = image;
    updateContent();
}

Image Button::imageForState(int state) const {
    return lookup(images_, state).value_or(Image());
}

void Button::setBackgroundImage(const Image& image, int state) {
    backgroundImages_[state] = image;
    update();
}

Image Button::backgroundImageForState(int state) const {
    return lookup(backgroundImages_, state).value_or(Image());
}

void Button::setContentEdgeInsets(const EdgeInsets& insets) {
    contentEdgeInsets_ = insets;
    setNeedsLayout();
}

void Button::setTitleEdgeInsets(const EdgeInsets& insets) {
    titleEdgeInsets_ = insets;
    setNeedsLayout();
}

void Button::setImageEdgeInsets(const EdgeInsets& insets) {
    imageEdgeInsets_ = insets;
    setNeedsLayout();
}

void Button::stateChanged() {
    updateContent();
    Control::stateChanged();
}

void Button::tintColorDidChange() {
    updateContent();
    Control::tintColorDidChange();
}

void Button::updateContent() {
    const int current = state();
    if (auto attributed = lookup(attributedTitles_, current)) {
        titleLabel_->setAttributedText(*attributed);
    } else {
        titleLabel_->setText(titleForState(current));
    }
    titleLabel_->setTextColor(titleColorForState(current));
    titleLabel_->setHidden(titleLabel_->text().isEmpty());
    const Image image = imageForState(current);
    imageView_->setImage(image);
    imageView_->setHidden(image.isNull());
    const bool dim =
        (current & Highlighted) && adjustsImageWhenHighlighted_ && !images_.contains(Highlighted);
    imageView_->setAlpha(dim ? 0.5 : 1.0);
    // A disabled system button greys its template image as it greys its title.
    if (type_ == Type::System) imageView_->setTintColor((current & Disabled) ? QColor(Qt::gray) : QColor());
    invalidateIntrinsicContentSize();
    setNeedsLayout();
}

QSizeF Button::titleSize() const {
    if (titleLabel_->text().isEmpty()) return {};
    return titleLabel_->sizeThatFits(QSizeF());
}

QSizeF Button::sizeThatFits(const QSizeF&) const {
    const QSizeF title = titleSize();
    const QSizeF image = imageView_->isHidden() ? QSizeF() : imageView_->image().size();
    const double width = title.width() + image.width() + contentEdgeInsets_.left + contentEdgeInsets_.right +
                         titleEdgeInsets_.left + titleEdgeInsets_.right;
    const double height =
        std::max(title.height(), image.height()) + contentEdgeInsets_.top + contentEdgeInsets_.bottom;
    return QSizeF(std::max(width, 30.0), std::max(height, 30.0));
}

void Button::layoutSubviews() {
    const QRectF content = contentEdgeInsets_.inset(bounds());
    const QSizeF title = titleSize();
    const QSizeF image = imageView_->isHidden() ? QSizeF() : imageView_->image().size();
    // Image and title side by side, centred as a group.
    const double total = std::min(content.width(), image.width() + title.width());
    double x = content.left() + (content.width() - total) / 2;
    const QRectF imageFrame(x, content.top() + (content.height() - image.height()) / 2, image.width(),
                            image.height());
    imageView_->setFrame(QRectF(imageFrame.left() + imageEdgeInsets_.left - imageEdgeInsets_.right,
                                imageFrame.top() + imageEdgeInsets_.top - imageEdgeInsets_.bottom,
                                image.width(), image.height()));
    x += image.width();
    const double titleWidth = std::max(0.0, std::min(title.width(), content.right() - x));
    titleLabel_->setFrame(titleEdgeInsets_.inset(QRectF(x, content.top(), titleWidth, content.height())));
}

void Button::drawRect(QPainter& painter, const QRectF& rect) {
    const Image background = backgroundImageForState(state());
    if (!background.isNull()) background.draw(painter, rect, tintColor());
}

}  // namespace tovrin::ui
