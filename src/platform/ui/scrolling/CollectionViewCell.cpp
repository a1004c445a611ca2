#include "platform/ui/scrolling/CollectionViewCell.h"

namespace tovrin::ui {

CollectionViewCell::CollectionViewCell(QWidget* parent)
    : CollectionReusableView(parent), contentView_(new View(this)) {}

void CollectionViewCell::setBackgroundView(View* view) {
    delete backgroundView_.data();
    backgroundView_ = view;
    if (view) insertSubviewBelow(view, contentView_);
    updateBackgrounds();
    setNeedsLayout();
}

void CollectionViewCell::setSelectedBackgroundView(View* view) {
    delete selectedBackgroundView_.data();
    selectedBackgroundView_ = view;
    if (view) insertSubviewBelow(view, contentView_);
    updateBackgrounds();
    setNeedsLayout();
}

void CollectionViewCell::setSelected(bool selected) {
    selected_ = selected;
    updateBackgrounds();
}

void CollectionViewCell::setHighlighted(bool highlighted) {
    highlighted_ = highlighted;
    updateBackgrounds();
}

void CollectionViewCell::updateBackgrounds() {
    if (selectedBackgroundView_) selectedBackgroundView_->setHidden(!(selected_ || highlighted_));
}

void CollectionViewCell::layoutSubviews() {
    const QRectF area = bounds();
    contentView_->setFrame(area);
    if (backgroundView_) backgroundView_->setFrame(area);
    if (selectedBackgroundView_) selectedBackgroundView_->setFrame(area);
}

}  // namespace tovrin::ui
