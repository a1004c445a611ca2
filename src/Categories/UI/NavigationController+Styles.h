#pragma once

#include <QColor>
#include <memory>

#include "platform/ui/controllers/NavigationController.h"

namespace tovrin {

// The application's root navigation controller: no root screen yet, an opaque bar in
// `tovrinGrayBlack2Color` with titles in "DINOT-Medium" 16 and `tovrinOffWhiteColor`.
std::shared_ptr<ui::NavigationController> tvr_accountNavigationController();

// A navigation controller with a light status bar around the root screen, its bar opaque in the
// given tint with titles in the given colour and bar buttons in `tovrinGoldenRodColor`.
std::shared_ptr<ui::NavigationController> tvr_modalNavigationControllerWithRootViewController(
    const std::shared_ptr<ui::ViewController>& rootViewController, const QColor& barTintColor,
    const QColor& titleTextColor);

// The modal navigation controller in the dark bar colour (red, green 35/255, blue 36/255) with white
// titles; web pages and the saved-phrases editor are presented in it.
std::shared_ptr<ui::NavigationController> tvr_darkModalNavigationControllerWithRootViewController(
    const std::shared_ptr<ui::ViewController>& rootViewController);

}  // namespace tovrin
