#pragma once

#include <memory>

namespace tovrin::ui {
class ViewController;
}

namespace tovrin {

class AdjustableHeightNavigationController;

// The controller's navigation controller as an adjustable-height one; null when it is none.
std::shared_ptr<AdjustableHeightNavigationController> adjustableHeightNavigationController(
    const ui::ViewController& controller);

}  // namespace tovrin
