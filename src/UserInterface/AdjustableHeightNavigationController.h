#pragma once

#include <memory>

#include "platform/ui/controllers/NavigationController.h"
#include "platform/ui/views/LayoutConstraint.h"

namespace tovrin {

// A navigation controller whose height is a number: the report-a-member sheet grows and shrinks
// from the bottom of its container. The constraint fixing the height is made (at 0) when the view
// loads; the container lays the sheet out from it.
class AdjustableHeightNavigationController : public ui::NavigationController {
public:
    using ui::NavigationController::NavigationController;

    float tvr_height() const { return height_; }
    // Stores the height and, once the view has loaded, sets the constraint to it. Set inside an
    // animation block and lay out the window to slide the sheet.
    void setTvr_height(float height);
    const std::shared_ptr<ui::LayoutConstraint>& heightConstraint() const { return heightConstraint_; }

protected:
    void loadView() override;

private:
    float height_ = 0;
    std::shared_ptr<ui::LayoutConstraint> heightConstraint_;
};

}  // namespace tovrin
