#include "UserInterface/VisuallySeparableView.h"

#include "UserInterface/HairlineView.h"

namespace tovrin {

VisuallySeparableView::VisuallySeparableView(QWidget* parent)
    : CollapseWhenHiddenView(parent), hairlineView_(new HairlineView()) {
    hairlineView_->setTintColor(QColor::fromRgbF(1, 1, 1, 0.5));
    addSubview(hairlineView_);
}

bool VisuallySeparableView::showSeparator() const {
    return !hairlineView_->isHidden();
}

void VisuallySeparableView::setShowSeparator(bool show) {
    hairlineView_->setHidden(!show);
}

void VisuallySeparableView::layoutSubviews() {
    CollapseWhenHiddenView::layoutSubviews();
    const QRectF area = bounds();
    const double height = hairlineView_->intrinsicContentSize().height();
    hairlineView_->setFrame(QRectF(area.left() - SeparatorOverhang, area.bottom() - height,
                                   area.width() + 2 * SeparatorOverhang, height));
}

}  // namespace tovrin
