#include "UserInterface/CheckmarkButton.h"

#include <algorithm>

#include "Categories/UI/Color+Tovrin.h"
#include "Categories/UI/Font+Tovrin.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/text/Label.h"

namespace tovrin {
namespace {

constexpr double ImageLeftInset = 22;
constexpr double TouchMargin = 5;

}  // namespace

CheckmarkButton::CheckmarkButton(const QRectF& frame, QWidget* parent)
    : ui::Button(ui::Button::Type::Custom, parent) {
    setFrame(frame);
    // What the nib holds.
    setImage(ui::Image::named(QString::fromLatin1(UncheckedImageName)), Normal);
    setImage(ui::Image::named(QString::fromLatin1(CheckedImageName)), Selected);
    titleLabel()->setFont(tovrinFont(QStringLiteral("DINOT"), 13));
    titleLabel()->setNumberOfLines(0);
    setTitleColor(tovrinOffWhiteColor(), Normal);

    addTarget(TouchUpInside, [this](ui::Control&) { buttonTapped(); });
    titleLabel()->setTextAlignment(Qt::AlignLeft);
    setBackgroundColor(Qt::transparent);
    imageLeftInset_ = ImageLeftInset;
    setImageEdgeInsets(ui::EdgeInsets{0, ImageLeftInset, 0, 0});
    layoutIfNeeded();
    titleLeftInset_ = imageView()->frame().right();
    setTitleEdgeInsets(ui::EdgeInsets{0, titleLeftInset_, 0, 0});
}

void CheckmarkButton::setShowError(bool show) {
    showError_ = show;
    setBackgroundColor(show ? tovrinDestructiveActionColor() : QColor(Qt::transparent));
}

void CheckmarkButton::buttonTapped() {
    setSelected(!isSelected());
    // Ticking the box answers the error; unticking leaves the ground as it was.
    if (isSelected()) setBackgroundColor(Qt::transparent);
}

bool CheckmarkButton::pointInside(const QPointF& point) const {
    return imageView()
        ->frame()
        .adjusted(-TouchMargin, -TouchMargin, TouchMargin, TouchMargin)
        .contains(point);
}

void CheckmarkButton::layoutSubviews() {
    ui::Button::layoutSubviews();
    // Content aligned left: the box at its inset from the left edge, the title after it.
    const QRectF content = contentEdgeInsets().inset(bounds());
    const QSizeF image = imageView()->image().size();
    imageView()->setFrame(QRectF(content.left() + imageLeftInset_,
                                 content.top() + (content.height() - image.height()) / 2, image.width(),
                                 image.height()));
    const double titleLeft = content.left() + image.width() + titleLeftInset_;
    titleLabel()->setFrame(
        QRectF(titleLeft, content.top(), std::max(0.0, content.right() - titleLeft), content.height()));
}

std::vector<ui::View*> checkmarkButtonNib(QObject*) {
    return {new CheckmarkButton(QRectF(0, 0, 280, 44))};
}

}  // namespace tovrin
