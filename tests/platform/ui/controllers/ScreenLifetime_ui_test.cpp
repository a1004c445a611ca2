#include <gtest/gtest.h>

#include <QPointer>

#include "platform/promise/Promise.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/BarButtonItem.h"
#include "platform/ui/controllers/NavigationBar.h"
#include "platform/ui/controllers/NavigationController.h"
#include "platform/ui/controllers/NavigationItem.h"
#include "platform/ui/controllers/PageViewController.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/input/TapGestureRecognizer.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin::ui {
namespace {

// A screen whose own "Close" button (or bar button, or a tap on its "Tap area") removes it without
// animation. The action goes
// on using the screen after the removal, as an action capturing `this` may.
class SelfRemovingScreen : public ViewController {
public:
    using Removal = std::function<void(SelfRemovingScreen&)>;

    SelfRemovingScreen(Removal removal, std::shared_ptr<bool> finished)
        : removal_(std::move(removal)), finished_(std::move(finished)) {
        navigationItem().setRightBarButtonItem(std::make_shared<BarButtonItem>(
            QStringLiteral("Done"), BarButtonItem::Style::Done, [this] { close(); }));
        navigationItem().rightBarButtonItem()->setAccessibilityIdentifier(QStringLiteral("Done"));
    }

protected:
    void loadView() override {
        auto* root = new View();
        root->setBackgroundColor(Qt::white);
        auto* button = new Button(Button::Type::System, root);
        button->setTitle(QStringLiteral("Close"));
        button->setAccessibilityIdentifier(QStringLiteral("Close"));
        button->setFrame(QRectF(100, 300, 175, 44));
        button->addTarget(Control::TouchUpInside, [this](Control&) { close(); });
        auto* area = new View(root);
        area->setAccessibilityIdentifier(QStringLiteral("Tap area"));
        area->setFrame(QRectF(100, 400, 175, 44));
        area->addGestureRecognizer(
            std::make_shared<TapGestureRecognizer>([this](GestureRecognizer&) { close(); }));
        setView(root);
    }

private:
    void close() {
        removal_(*this);
        ++closes_;
        view()->setBackgroundColor(Qt::gray);
        *finished_ = closes_ == 1;
    }

    Removal removal_;
    std::shared_ptr<bool> finished_;
    int closes_ = 0;
};

std::shared_ptr<ViewController> plainScreen() {
    return std::make_shared<ViewController>();
}

std::shared_ptr<NavigationController> navigationOf(SelfRemovingScreen& screen) {
    return screen.navigationController();
}

// Builds a hierarchy around the screen in the window and names what removes it.
struct RemovalCase {
    const char* name;
    const char* button;
    SelfRemovingScreen::Removal removal;
    std::function<void(Window&, const std::shared_ptr<SelfRemovingScreen>&)> show;
};

void showPushed(Window& window, const std::shared_ptr<SelfRemovingScreen>& screen) {
    auto navigation = std::make_shared<NavigationController>(plainScreen());
    window.setRootViewController(navigation);
    navigation->pushViewController(plainScreen(), false);
    navigation->pushViewController(screen, false);
}

std::vector<RemovalCase> removalCases() {
    return {
        {"pop", "Close",
         [](SelfRemovingScreen& self) { navigationOf(self)->popViewControllerAnimated(false); }, showPushed},
        {"pop by its bar button", "Done",
         [](SelfRemovingScreen& self) { navigationOf(self)->popViewControllerAnimated(false); }, showPushed},
        {"pop by a tap on its view", "Tap area",
         [](SelfRemovingScreen& self) { navigationOf(self)->popViewControllerAnimated(false); }, showPushed},
        {"pop to root", "Close",
         [](SelfRemovingScreen& self) { navigationOf(self)->popToRootViewControllerAnimated(false); },
         showPushed},
        {"pop to a screen below", "Close",
         [](SelfRemovingScreen& self) {
             auto navigation = navigationOf(self);
             navigation->popToViewController(navigation->viewControllers()[1], false);
         },
         showPushed},
        {"replace the stack", "Close",
         [](SelfRemovingScreen& self) { navigationOf(self)->setViewControllers({plainScreen()}, false); },
         showPushed},
        {"dismiss", "Close", [](SelfRemovingScreen& self) { self.dismissViewController(false); },
         [](Window& window, const std::shared_ptr<SelfRemovingScreen>& screen) {
             window.setRootViewController(plainScreen());
             window.rootViewController()->presentViewController(screen, false);
         }},
        {"dismiss by its bar button", "Done",
         [](SelfRemovingScreen& self) { self.dismissViewController(false); },
         [](Window& window, const std::shared_ptr<SelfRemovingScreen>& screen) {
             window.setRootViewController(plainScreen());
             window.rootViewController()->presentViewController(
                 std::make_shared<NavigationController>(screen), false);
         }},
        {"replace the window's root", "Close",
         [](SelfRemovingScreen& self) { self.view()->window()->setRootViewController(plainScreen()); },
         [](Window& window, const std::shared_ptr<SelfRemovingScreen>& screen) {
             window.setRootViewController(screen);
         }},
        {"change the page", "Close",
         [](SelfRemovingScreen& self) {
             auto pages = std::dynamic_pointer_cast<PageViewController>(self.parentViewController());
             pages->setViewControllers({plainScreen()}, PageViewController::NavigationDirection::Forward,
                                       false);
         },
         [](Window& window, const std::shared_ptr<SelfRemovingScreen>& screen) {
             auto pages = std::make_shared<PageViewController>();
             pages->setViewControllers({screen}, PageViewController::NavigationDirection::Forward, false);
             window.setRootViewController(pages);
         }},
        {"remove from its parent", "Close",
         [](SelfRemovingScreen& self) {
             self.willMoveToParentViewController(nullptr);
             self.view()->removeFromSuperview();
             self.removeFromParentViewController();
         },
         [](Window& window, const std::shared_ptr<SelfRemovingScreen>& screen) {
             auto parent = plainScreen();
             window.setRootViewController(parent);
             parent->addChildViewController(screen);
             screen->view()->setFrame(parent->view()->bounds());
             parent->view()->addSubview(screen->view());
             screen->didMoveToParentViewController(parent.get());
         }},
    };
}

TEST(ScreenLifetimeTest, AScreenRemovedByItsOwnActionLivesUntilTheMainQueuesNextTurn) {
    ImmediateAnimations immediate;
    for (const auto& removalCase : removalCases()) {
        SCOPED_TRACE(removalCase.name);
        Window window(nullptr);
        window.show();
        auto finished = std::make_shared<bool>(false);
        std::weak_ptr<SelfRemovingScreen> watched;
        QPointer<View> screenView;
        {
            auto screen = std::make_shared<SelfRemovingScreen>(removalCase.removal, finished);
            watched = screen;
            removalCase.show(window, screen);
            screenView = screen->view();
        }
        test::drainAnimations();
        View* button = test::findView(&window, QString::fromLatin1(removalCase.button));
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isVisible());

        test::tap(button);
        EXPECT_TRUE(*finished);
        EXPECT_FALSE(watched.expired());
        EXPECT_EQ(screenView->window(), nullptr);

        test::drainMainQueue();
        EXPECT_TRUE(watched.expired());
        EXPECT_TRUE(screenView.isNull());
        test::drainAnimations();
    }
}

// A screen that shows what its pending work brings, bound to itself.
class Inbox : public ViewController {
public:
    QStringList rows;

    Promise<void> load(const Promise<QStringList>& work) {
        return work.then(weakSelf<Inbox>(), [](Inbox& self, const QStringList& rows) { self.rows = rows; });
    }
};

TEST(ScreenLifetimeTest, WorkBoundToAScreenRunsWhileItIsShownAndNotOnceItIsGone) {
    ImmediateAnimations immediate;
    Window window(nullptr);
    window.show();
    auto navigation = std::make_shared<NavigationController>(plainScreen());
    window.setRootViewController(navigation);
    auto inbox = std::make_shared<Inbox>();
    navigation->pushViewController(inbox, false);
    auto shown = inbox->load(Promise<QStringList>::resolved({QStringLiteral("Alex")}));
    ASSERT_TRUE(test::waitFor(shown));
    EXPECT_EQ(inbox->rows, QStringList{QStringLiteral("Alex")});

    auto [work, resolver] = Promise<QStringList>::pending();
    auto late = inbox->load(work);
    std::weak_ptr<Inbox> watched = inbox;
    inbox.reset();
    navigation->popViewControllerAnimated(false);
    test::drainMainQueue();
    ASSERT_TRUE(watched.expired());
    resolver.fulfill({QStringLiteral("Sam")});
    test::drainMainQueue();
    EXPECT_TRUE(late.isCancelled());
}

}  // namespace
}  // namespace tovrin::ui
