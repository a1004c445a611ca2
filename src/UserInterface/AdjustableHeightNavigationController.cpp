#include "UserInterface/AdjustableHeightNavigationController.h"

namespace tovrin {

void AdjustableHeightNavigationController::setTvr_height(float height) {
    height_ = height;
    if (heightConstraint_) heightConstraint_->setConstant(height);
}

void AdjustableHeightNavigationController::loadView() {
    ui::NavigationController::loadView();
    heightConstraint_ =
        std::make_shared<ui::LayoutConstraint>(0.0, ui::LayoutConstraint::Required, QStringLiteral("height"));
    viewIfLoaded()->addConstraint(heightConstraint_);
}

}  // namespace tovrin
