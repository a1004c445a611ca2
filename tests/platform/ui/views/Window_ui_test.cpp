#include <gtest/gtest.h>

#include <QMouseEvent>

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/ViewController.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin::ui {
namespace {

// A plain Qt widget inside a view, as the web engine's page is: it handles its own clicks.
class ClickRecorder : public QWidget {
public:
    using QWidget::QWidget;
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        ++presses;
        event->accept();
    }
};

class TouchCounter : public View {
public:
    int began = 0;
    void touchesBegan(const Touches& touches) override { ++began; }
};

TEST(WindowTest, PlainWidgetsOfTheRootGetClicksWhileNothingIsPresentedAbove) {
    ImmediateAnimations immediate;
    Window window{nullptr};
    auto root = std::make_shared<ViewController>();
    auto* holder = new View();
    holder->setFrame(QRectF(0, 100, 375, 300));
    root->view()->addSubview(holder);
    auto* leaf = new ClickRecorder(holder);
    leaf->setGeometry(0, 0, 375, 300);
    window.setRootViewController(root);
    window.show();

    test::tap(holder);
    EXPECT_EQ(leaf->presses, 1);

    auto presented = std::make_shared<ViewController>();
    auto* cover = new TouchCounter();
    presented->setView(cover);
    root->presentViewController(presented, false);
    test::drainMainQueue();
    test::tap(holder);
    EXPECT_EQ(leaf->presses, 1);
    EXPECT_EQ(cover->began, 1);

    presented->dismissViewController(false);
    test::drainMainQueue();
    test::tap(holder);
    EXPECT_EQ(leaf->presses, 2);
}

}  // namespace
}  // namespace tovrin::ui
