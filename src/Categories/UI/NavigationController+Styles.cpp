#include "Categories/UI/NavigationController+Styles.h"

#include "Categories/UI/Color+Tovrin.h"
#include "Categories/UI/Font+Tovrin.h"
#include "UserInterface/NavigationControllerWithLightStatusBar.h"
#include "platform/ui/controllers/NavigationBar.h"

namespace tovrin {

std::shared_ptr<ui::NavigationController> tvr_accountNavigationController() {
    auto navigation = std::make_shared<ui::NavigationController>();
    ui::NavigationBar* bar = navigation->navigationBar();
    bar->setTitleTextAttributes(tovrinFont(QStringLiteral("DINOT-Medium"), 16.0), tovrinOffWhiteColor());
    bar->setBarTintColor(tovrinGrayBlack2Color());
    bar->setTranslucent(false);
    return navigation;
}

std::shared_ptr<ui::NavigationController> tvr_modalNavigationControllerWithRootViewController(
    const std::shared_ptr<ui::ViewController>& rootViewController, const QColor& barTintColor,
    const QColor& titleTextColor) {
    auto navigation = std::make_shared<NavigationControllerWithLightStatusBar>(rootViewController);
    ui::NavigationBar* bar = navigation->navigationBar();
    bar->setTitleTextAttributes(std::nullopt, titleTextColor);
    bar->setBarTintColor(barTintColor);
    bar->setTintColor(tovrinGoldenRodColor());
    bar->setTranslucent(false);
    return navigation;
}

std::shared_ptr<ui::NavigationController> tvr_darkModalNavigationControllerWithRootViewController(
    const std::shared_ptr<ui::ViewController>& rootViewController) {
    const QColor darkBar = QColor::fromRgbF(35 / 255.0f, 35 / 255.0f, 36 / 255.0f, 1.0f);
    return tvr_modalNavigationControllerWithRootViewController(rootViewController, darkBar, Qt::white);
}

}  // namespace tovrin
