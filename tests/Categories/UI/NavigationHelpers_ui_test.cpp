#include <gtest/gtest.h>

#include "Categories/UI/Color+Tovrin.h"
#include "Categories/UI/NavigationController+Styles.h"
#include "Categories/UI/NavigationController+Unwind.h"
#include "Categories/UI/ViewController+AdjustableHeightNavigationController.h"
#include "Categories/UI/ViewController+ModalActivityView.h"
#include "UserInterface/AdjustableHeightNavigationController.h"
#include "UserInterface/NavigationControllerWithLightStatusBar.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/NavigationBar.h"
#include "platform/ui/scrolling/TableView.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin {
namespace {

using ui::ViewController;

// A screen whose root view is made by the given builder.
class Screen : public ViewController {
public:
    explicit Screen(std::function<ui::View*()> builder = {}) : builder_(std::move(builder)) {}

protected:
    void loadView() override {
        if (builder_)
            setView(builder_());
        else
            ViewController::loadView();
    }

private:
    std::function<ui::View*()> builder_;
};

class NavigationHelpersTest : public testing::Test {
protected:
    ui::ImmediateAnimations immediate;
    ui::Window window{nullptr};
};

TEST_F(NavigationHelpersTest, TheAccountNavigationControllerHasAnOpaqueDarkBarWithLightTitles) {
    auto navigation = tvr_accountNavigationController();
    EXPECT_TRUE(navigation->viewControllers().empty());
    ui::NavigationBar* bar = navigation->navigationBar();
    EXPECT_FALSE(bar->isTranslucent());
    EXPECT_EQ(bar->barTintColor(), tovrinGrayBlack2Color());
    EXPECT_EQ(bar->titleColor(), tovrinOffWhiteColor());
    ASSERT_TRUE(bar->titleFont().has_value());
    EXPECT_EQ(bar->titleFont()->weight(), QFont::Medium);
    EXPECT_EQ(navigation->preferredStatusBarStyle(), ui::StatusBarStyle::Default);
    EXPECT_EQ(std::dynamic_pointer_cast<NavigationControllerWithLightStatusBar>(navigation), nullptr);
}

TEST_F(NavigationHelpersTest, TheDarkModalNavigationControllerShowsALightStatusBar) {
    auto page = std::make_shared<Screen>();
    auto navigation = tvr_darkModalNavigationControllerWithRootViewController(page);
    EXPECT_EQ(navigation->preferredStatusBarStyle(), ui::StatusBarStyle::LightContent);
    ui::NavigationBar* bar = navigation->navigationBar();
    EXPECT_EQ(bar->barTintColor().rgb(), tovrinDarkBarColor().rgb());
    EXPECT_EQ(bar->titleColor(), QColor(Qt::white));
    EXPECT_EQ(bar->tintColor(), tovrinGoldenRodColor());
    EXPECT_FALSE(bar->isTranslucent());
    EXPECT_EQ(navigation->viewControllers().front(), page);

    auto root = std::make_shared<Screen>();
    window.setRootViewController(root);
    window.show();
    EXPECT_EQ(window.statusBarStyle(), ui::StatusBarStyle::Default);
    root->presentViewController(navigation, false);
    test::drainAnimations();
    EXPECT_EQ(window.statusBarStyle(), ui::StatusBarStyle::LightContent);
}

class UnwindTest : public NavigationHelpersTest {
protected:
    std::shared_ptr<ui::NavigationController> navigation = std::make_shared<ui::NavigationController>();
    std::vector<std::shared_ptr<Screen>> screens;
    QStringList calls;

    void SetUp() override {
        window.setRootViewController(navigation);
        window.show();
        for (int index = 0; index < 4; ++index) {
            auto screen = std::make_shared<Screen>();
            screens.push_back(screen);
            navigation->pushViewController(screen, false);
        }
    }
    void answer(int index, const QString& action) {
        screens[size_t(index)]->registerAction(
            action, [this, index, action] { calls << QStringLiteral("%1:%2").arg(index).arg(action); });
    }
};

TEST_F(UnwindTest, TheNearestScreenThatAnswersGetsTheActionAndTheStackPopsToIt) {
    answer(0, QStringLiteral("blockUserUnwind"));
    answer(1, QStringLiteral("blockUserUnwind"));
    EXPECT_TRUE(tvr_unwindToSelector(*navigation, QStringLiteral("blockUserUnwind")));
    test::drainAnimations();
    EXPECT_EQ(calls, QStringList{QStringLiteral("1:blockUserUnwind")});
    EXPECT_EQ(navigation->topViewController(), screens[1]);
    EXPECT_EQ(navigation->viewControllers().size(), 2u);
}

TEST_F(UnwindTest, TheTopScreenCountsAndThenNothingIsPopped) {
    answer(3, QStringLiteral("profileUnwind"));
    EXPECT_TRUE(tvr_unwindToSelector(*navigation, QStringLiteral("profileUnwind")));
    EXPECT_EQ(calls, QStringList{QStringLiteral("3:profileUnwind")});
    EXPECT_EQ(navigation->viewControllers().size(), 4u);
}

TEST_F(UnwindTest, WhenNoScreenAnswersNothingChanges) {
    answer(2, QStringLiteral("profileUnwind"));
    EXPECT_FALSE(tvr_unwindToSelector(*navigation, QStringLiteral("chatUnwind")));
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_EQ(navigation->viewControllers().size(), 4u);
}

class OverlayTest : public NavigationHelpersTest {
protected:
    ui::View* host = new ui::View();
    void SetUp() override {
        host->setFrame(QRectF(0, 0, 375, 667));
        window.addSubview(host);
        window.show();
    }
    std::shared_ptr<Screen> screenWith(ui::View* view) {
        auto screen = std::make_shared<Screen>([view] { return view; });
        view->setFrame(QRectF(0, 50, 375, 500));
        host->addSubview(screen->view());
        return screen;
    }
    static ui::View* overlayOn(ui::View* view) {
        return test::findView(view, QStringLiteral("ModalActivityView"));
    }
};

TEST_F(OverlayTest, ItCoversThePlainViewAndFadesIn) {
    ui::ViewAnimation::setImmediate(false);
    auto screen = screenWith(new ui::View());
    ASSERT_TRUE(tvr_presentModalActivityView(*screen));
    ui::View* overlay = overlayOn(screen->view());
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(overlay->superview(), screen->view());
    EXPECT_EQ(overlay->frame(), QRectF(0, 0, 375, 500));
    EXPECT_EQ(overlay->backgroundColor(), QColor::fromRgbF(0, 0, 0, 0.6f));
    EXPECT_EQ(ui::ViewAnimation::runningCount(), 1);
    EXPECT_DOUBLE_EQ(overlay->alpha(), 1.0);
    test::drainAnimations();
    ui::ViewAnimation::setImmediate(true);
    QPointer<ui::View> gone(overlay);
    tvr_dismissModalActivityView(*screen);
    EXPECT_EQ(overlayOn(screen->view()), nullptr);
    test::drainMainQueue();
    EXPECT_TRUE(gone.isNull());
    tvr_dismissModalActivityView(*screen);  // nothing to dismiss
}

TEST_F(OverlayTest, APlainScrollViewHandsTheOverlayToItsSuperviewButATableViewKeepsIt) {
    auto scrolling = screenWith(new ui::ScrollView());
    ASSERT_TRUE(tvr_presentModalActivityView(*scrolling));
    EXPECT_NE(overlayOn(host), nullptr);
    EXPECT_EQ(overlayOn(scrolling->view()), nullptr);
    tvr_dismissModalActivityView(*scrolling);

    auto table = screenWith(new ui::TableView());
    ASSERT_TRUE(tvr_presentModalActivityView(*table));
    EXPECT_EQ(overlayOn(table->view())->superview(), table->view());
}

TEST_F(OverlayTest, AScrollViewInsideAScrollViewGetsNoOverlay) {
    auto* outer = new ui::ScrollView();
    outer->setFrame(QRectF(0, 0, 375, 667));
    host->addSubview(outer);
    auto screen = std::make_shared<Screen>([] { return new ui::ScrollView(); });
    outer->addSubview(screen->view());
    EXPECT_FALSE(tvr_presentModalActivityView(*screen));
    EXPECT_EQ(screen->associatedObject(MODALACTIVITYVIEWKEY), nullptr);
}

TEST_F(OverlayTest, ASecondOverlayReplacesTheFirst) {
    auto screen = screenWith(new ui::View());
    ASSERT_TRUE(tvr_presentModalActivityView(*screen));
    QPointer<ui::View> first(overlayOn(screen->view()));
    ASSERT_TRUE(tvr_presentModalActivityView(*screen));
    test::drainMainQueue();
    EXPECT_TRUE(first.isNull());
    int overlays = 0;
    for (ui::View* child : screen->view()->subviews())
        if (child->accessibilityIdentifier() == QStringLiteral("ModalActivityView")) ++overlays;
    EXPECT_EQ(overlays, 1);
    tvr_dismissModalActivityView(*screen);
    EXPECT_EQ(overlayOn(screen->view()), nullptr);
}

TEST_F(NavigationHelpersTest, AnAdjustableSheetStartsWithNoHeightAndFollowsTheNumberOnceLoaded) {
    auto sheet = std::make_shared<AdjustableHeightNavigationController>(std::make_shared<Screen>());
    sheet->setTvr_height(360);
    EXPECT_FLOAT_EQ(sheet->tvr_height(), 360);
    EXPECT_EQ(sheet->heightConstraint(), nullptr);
    sheet->view();
    ASSERT_NE(sheet->heightConstraint(), nullptr);
    EXPECT_DOUBLE_EQ(sheet->heightConstraint()->constant(), 0.0);
    EXPECT_EQ(sheet->heightConstraint()->priority(), ui::LayoutConstraint::Required);
    EXPECT_EQ(sheet->heightConstraint()->owner(), sheet->view());
    sheet->setTvr_height(120);
    EXPECT_DOUBLE_EQ(sheet->heightConstraint()->constant(), 120.0);
    auto inside = sheet->viewControllers().front();
    EXPECT_EQ(adjustableHeightNavigationController(*inside), sheet);
    EXPECT_EQ(adjustableHeightNavigationController(Screen()), nullptr);
}

}  // namespace
}  // namespace tovrin
