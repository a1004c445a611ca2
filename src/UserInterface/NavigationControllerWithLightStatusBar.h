#pragma once

#include "platform/ui/controllers/NavigationController.h"

namespace tovrin {

// A navigation controller whose status bar shows light content, for dark bars.
class NavigationControllerWithLightStatusBar : public ui::NavigationController {
public:
    using ui::NavigationController::NavigationController;
    ui::StatusBarStyle preferredStatusBarStyle() const override { return ui::StatusBarStyle::LightContent; }
};

}  // namespace tovrin
