#include <gtest/gtest.h>

#include <QStringList>

#include "platform/promise/Promise.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/NavigationController.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin::ui {
namespace {

// Writes every life-cycle call, named after the controller, to a shared journal.
class Recorder : public ViewController {
public:
    Recorder(QString name, std::shared_ptr<QStringList> journal)
        : name_(std::move(name)), journal_(std::move(journal)) {}
    ~Recorder() override { log(QStringLiteral("destroyed")); }

    void log(const QString& event) { journal_->append(name_ + QLatin1Char('.') + event); }

protected:
    void viewDidLoad() override { log(QStringLiteral("viewDidLoad")); }
    void viewWillAppear(bool) override { log(QStringLiteral("viewWillAppear")); }
    void viewDidAppear(bool) override { log(QStringLiteral("viewDidAppear")); }
    void viewWillDisappear(bool) override { log(QStringLiteral("viewWillDisappear")); }
    void viewDidDisappear(bool) override { log(QStringLiteral("viewDidDisappear")); }

public:
    void willMoveToParentViewController(ViewController* parent) override {
        ViewController::willMoveToParentViewController(parent);
        log(parent ? QStringLiteral("willMoveToParent") : QStringLiteral("willMoveToNoParent"));
    }
    void didMoveToParentViewController(ViewController* parent) override {
        ViewController::didMoveToParentViewController(parent);
        log(parent ? QStringLiteral("didMoveToParent") : QStringLiteral("didMoveToNoParent"));
    }

private:
    QString name_;
    std::shared_ptr<QStringList> journal_;
};

class ViewControllerTest : public testing::Test {
protected:
    std::shared_ptr<QStringList> journal = std::make_shared<QStringList>();
    std::unique_ptr<Window> window = std::make_unique<Window>(nullptr);

    std::shared_ptr<Recorder> make(const QString& name) { return std::make_shared<Recorder>(name, journal); }
    QStringList take() {
        QStringList taken = *journal;
        journal->clear();
        return taken;
    }
    void show(const std::shared_ptr<ViewController>& root) {
        window->setRootViewController(root);
        window->show();
        test::drainAnimations();
    }
};

TEST_F(ViewControllerTest, TheRootLoadsItsViewOnceAndAppearsWhenTheWindowShows) {
    auto root = make(QStringLiteral("root"));
    window->setRootViewController(root);
    EXPECT_EQ(take(), QStringList{QStringLiteral("root.viewDidLoad")});
    window->show();
    EXPECT_EQ(take(),
              (QStringList{QStringLiteral("root.viewWillAppear"), QStringLiteral("root.viewDidAppear")}));
    window->hide();
    EXPECT_EQ(take(), (QStringList{QStringLiteral("root.viewWillDisappear"),
                                   QStringLiteral("root.viewDidDisappear")}));
}

TEST_F(ViewControllerTest, PushAndPopCallTheAppearanceMethodsInOrderAnimatedOrNot) {
    for (bool animated : {false, true}) {
        SCOPED_TRACE(animated);
        auto navigation = std::make_shared<NavigationController>(make(QStringLiteral("A")));
        show(navigation);
        take();
        auto b = make(QStringLiteral("B"));
        navigation->pushViewController(b, animated);
        test::drainAnimations();
        EXPECT_EQ(take(),
                  (QStringList{QStringLiteral("B.willMoveToParent"), QStringLiteral("B.viewDidLoad"),
                               QStringLiteral("A.viewWillDisappear"), QStringLiteral("B.viewWillAppear"),
                               QStringLiteral("A.viewDidDisappear"), QStringLiteral("B.viewDidAppear"),
                               QStringLiteral("B.didMoveToParent")}));
        EXPECT_EQ(b->navigationController(), navigation);
        EXPECT_EQ(navigation->popViewControllerAnimated(animated), b);
        test::drainAnimations();
        EXPECT_EQ(take(),
                  (QStringList{QStringLiteral("B.willMoveToNoParent"), QStringLiteral("B.viewWillDisappear"),
                               QStringLiteral("A.viewWillAppear"), QStringLiteral("B.viewDidDisappear"),
                               QStringLiteral("A.viewDidAppear"), QStringLiteral("B.didMoveToNoParent")}));
        EXPECT_EQ(navigation->viewControllers().size(), 1u);
        b.reset();
        EXPECT_EQ(take(), QStringList{QStringLiteral("B.destroyed")});
        window->setRootViewController(nullptr);
        take();
    }
}

TEST_F(ViewControllerTest, PresentAndDismissCoverThePresenterAndUncoverIt) {
    auto root = make(QStringLiteral("A"));
    show(root);
    take();
    auto modal = make(QStringLiteral("M"));
    bool presented = false;
    root->presentViewController(modal, true, [&] { presented = true; });
    test::drainAnimations();
    EXPECT_TRUE(presented);
    EXPECT_EQ(take(), (QStringList{QStringLiteral("M.viewDidLoad"), QStringLiteral("A.viewWillDisappear"),
                                   QStringLiteral("M.viewWillAppear"), QStringLiteral("M.viewDidAppear"),
                                   QStringLiteral("A.viewDidDisappear")}));
    EXPECT_EQ(root->presentedViewController(), modal);
    EXPECT_EQ(modal->presentingViewController(), root);
    EXPECT_EQ(window->topViewController(), modal);

    bool dismissed = false;
    modal->dismissViewController(true, [&] { dismissed = true; });
    test::drainAnimations();
    EXPECT_TRUE(dismissed);
    EXPECT_EQ(take(), (QStringList{QStringLiteral("M.viewWillDisappear"), QStringLiteral("A.viewWillAppear"),
                                   QStringLiteral("M.viewDidDisappear"), QStringLiteral("A.viewDidAppear")}));
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(modal->presentingViewController(), nullptr);
}

TEST_F(ViewControllerTest, AnOverFullScreenPresentationLeavesThePresenterOnScreen) {
    auto root = make(QStringLiteral("A"));
    show(root);
    take();
    auto sheet = make(QStringLiteral("S"));
    sheet->setModalPresentationStyle(ModalPresentationStyle::OverFullScreen);
    root->presentViewController(sheet, false);
    test::drainAnimations();
    EXPECT_EQ(take(), (QStringList{QStringLiteral("S.viewDidLoad"), QStringLiteral("S.viewWillAppear"),
                                   QStringLiteral("S.viewDidAppear")}));
}

TEST_F(ViewControllerTest, AChildFollowsItsViewIntoAndOutOfTheShownHierarchy) {
    auto parent = make(QStringLiteral("P"));
    show(parent);
    take();
    auto child = make(QStringLiteral("C"));
    parent->addChildViewController(child);
    parent->view()->addSubview(child->view());
    child->didMoveToParentViewController(parent.get());
    EXPECT_EQ(take(), (QStringList{QStringLiteral("C.willMoveToParent"), QStringLiteral("C.viewDidLoad"),
                                   QStringLiteral("C.viewWillAppear"), QStringLiteral("C.viewDidAppear"),
                                   QStringLiteral("C.didMoveToParent")}));
    EXPECT_EQ(child->parentViewController(), parent);

    child->willMoveToParentViewController(nullptr);
    child->view()->removeFromSuperview();
    child->removeFromParentViewController();
    EXPECT_EQ(take(),
              (QStringList{QStringLiteral("C.willMoveToNoParent"), QStringLiteral("C.viewWillDisappear"),
                           QStringLiteral("C.viewDidDisappear"), QStringLiteral("C.didMoveToNoParent")}));
    EXPECT_TRUE(parent->childViewControllers().empty());
}

TEST_F(ViewControllerTest, AChildOfAShownParentAppearsWithItAndNotBefore) {
    auto parent = make(QStringLiteral("P"));
    auto child = make(QStringLiteral("C"));
    parent->addChildViewController(child);
    parent->view()->addSubview(child->view());
    child->didMoveToParentViewController(parent.get());
    take();
    show(parent);
    EXPECT_EQ(take(), (QStringList{QStringLiteral("P.viewWillAppear"), QStringLiteral("C.viewWillAppear"),
                                   QStringLiteral("P.viewDidAppear"), QStringLiteral("C.viewDidAppear")}));
}

TEST_F(ViewControllerTest, APoppedControllerHeldByAContinuationLivesUntilTheContinuationHasRun) {
    auto navigation = std::make_shared<NavigationController>(make(QStringLiteral("A")));
    show(navigation);
    auto [promise, resolver] = Promise<void>::pending();
    std::weak_ptr<Recorder> watched;
    bool continued = false;
    {
        auto screen = make(QStringLiteral("B"));
        watched = screen;
        navigation->pushViewController(screen, true);
        test::drainAnimations();
        // The continuation keeps the screen, as a block capturing it strongly would.
        promise.then([screen, &continued] {
            screen->log(QStringLiteral("continued"));
            screen->view()->setBackgroundColor(Qt::red);
            continued = true;
        });
    }
    navigation->popViewControllerAnimated(true);
    test::drainAnimations();
    EXPECT_FALSE(watched.expired());
    take();
    resolver.fulfill();
    ASSERT_TRUE(test::runUntil([&] { return continued && watched.expired(); }));
    EXPECT_EQ(take(), (QStringList{QStringLiteral("B.continued"), QStringLiteral("B.destroyed")}));
}

}  // namespace
}  // namespace tovrin::ui
