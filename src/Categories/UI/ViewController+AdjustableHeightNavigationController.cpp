#include "Categories/UI/ViewController+AdjustableHeightNavigationController.h"

#include "UserInterface/AdjustableHeightNavigationController.h"

namespace tovrin {

std::shared_ptr<AdjustableHeightNavigationController> adjustableHeightNavigationController(
    const ui::ViewController& controller) {
    return std::dynamic_pointer_cast<AdjustableHeightNavigationController>(controller.navigationController());
}

}  // namespace tovrin
