#include "Categories/UI/NavigationController+Unwind.h"

#include "platform/ui/controllers/NavigationController.h"

namespace tovrin {

bool tvr_unwindToSelector(ui::NavigationController& navigationController, const QString& action) {
    const auto stack = navigationController.viewControllers();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        const auto& screen = *it;
        if (!screen->respondsToAction(action)) continue;
        screen->performAction(action);
        if (screen != navigationController.topViewController())
            navigationController.popToViewController(screen, true);
        return true;
    }
    return false;
}

}  // namespace tovrin
