#include <gtest/gtest.h>

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/AlertController.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/text/Label.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin::ui {
namespace {

class AlertControllerTest : public testing::Test {
protected:
    ImmediateAnimations immediate;
    Window window{nullptr};
    std::shared_ptr<ViewController> root = std::make_shared<ViewController>();

    void SetUp() override {
        window.setRootViewController(root);
        window.show();
    }
};

TEST_F(AlertControllerTest, AnActionDismissesTheAlertAndThenRunsItsHandler) {
    auto alert = std::make_shared<AlertController>(QStringLiteral("Please Update"), QStringLiteral("Now."),
                                                   AlertController::Style::Alert);
    QStringList ran;
    alert->addAction(std::make_shared<AlertAction>(QStringLiteral("Later"), AlertAction::Style::Cancel,
                                                   [&](AlertAction& action) { ran << action.title(); }));
    alert->addAction(std::make_shared<AlertAction>(
        QStringLiteral("Update Now"), AlertAction::Style::Default, [&](AlertAction&) {
            ran << QStringLiteral("handler");
            ran << (root->presentedViewController() ? "shown" : "gone");
        }));
    root->presentViewController(alert, true);
    test::drainAnimations();
    EXPECT_EQ(root->presentedViewController(), alert);
    EXPECT_EQ(root->appearance(), ViewController::Appearance::Appeared);  // the screen stays on screen

    auto* button = test::find<Button>(&window, QStringLiteral("Update Now"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->titleLabel()->text(), QStringLiteral("Update Now"));
    test::tap(button);
    test::drainAnimations();
    EXPECT_EQ(ran, (QStringList{QStringLiteral("handler"), QStringLiteral("gone")}));
    EXPECT_EQ(root->presentedViewController(), nullptr);
}

TEST_F(AlertControllerTest, ButtonsTakeTheAlertsTintAndAHandlerMayPresentTheAlertAgain) {
    auto alert =
        std::make_shared<AlertController>(QStringLiteral("Title"), QString(), AlertController::Style::Alert);
    int shown = 0;
    std::weak_ptr<AlertController> weak = alert;
    alert->addAction(std::make_shared<AlertAction>(QStringLiteral("Again"), AlertAction::Style::Default,
                                                   [&, weak](AlertAction&) {
                                                       if (auto again = weak.lock()) {
                                                           root->presentViewController(again, false);
                                                       }
                                                   }));
    alert->view()->setTintColor(QColor::fromRgbF(0, 0.46f, 1));
    root->presentViewController(alert, false, [&] { ++shown; });
    test::drainAnimations();
    auto* button = test::find<Button>(&window, QStringLiteral("Again"));
    EXPECT_EQ(button->titleLabel()->textColor(), QColor::fromRgbF(0, 0.46f, 1));
    test::tap(button);
    test::drainAnimations();
    EXPECT_EQ(root->presentedViewController(), alert);
}

TEST_F(AlertControllerTest, AnActionSheetSitsAtTheBottomWithTheCancelActionApart) {
    auto sheet = std::make_shared<AlertController>(QString(), QString(), AlertController::Style::ActionSheet);
    sheet->addAction(
        std::make_shared<AlertAction>(QStringLiteral("Photo Library"), AlertAction::Style::Default));
    sheet->addAction(std::make_shared<AlertAction>(QStringLiteral("Cancel"), AlertAction::Style::Cancel));
    root->presentViewController(sheet, false);
    test::drainAnimations();
    auto* library = test::find<Button>(&window, QStringLiteral("Photo Library"));
    auto* cancel = test::find<Button>(&window, QStringLiteral("Cancel"));
    const double libraryTop = library->convertPoint(QPointF(0, 0), nullptr).y();
    const double cancelTop = cancel->convertPoint(QPointF(0, 0), nullptr).y();
    EXPECT_GT(cancelTop, libraryTop + 44);
    EXPECT_NEAR(cancelTop + 44, 667 - 8, 1);
}

TEST_F(AlertControllerTest, AnAlertMayAskForText) {
    auto alert =
        std::make_shared<AlertController>(QStringLiteral("Name"), QString(), AlertController::Style::Alert);
    alert->addTextField([](TextField& field) { field.setPlaceholder(QStringLiteral("Phrase")); });
    alert->addAction(std::make_shared<AlertAction>(QStringLiteral("OK"), AlertAction::Style::Default));
    root->presentViewController(alert, false);
    test::drainAnimations();
    ASSERT_EQ(alert->textFields().size(), 1u);
    EXPECT_EQ(alert->textFields().front()->placeholder(), QStringLiteral("Phrase"));
}

}  // namespace
}  // namespace tovrin::ui

namespace tovrin::ui {
namespace {

TEST_F(AlertControllerTest, TwoButtonsStandSideBySideOnlyWhileTheirTitlesFitElseTheCancelOneGoesLast) {
    struct Case {
        const char* name;
        const char* cancel;
        const char* other;
        bool sideBySide;
    };
    const Case cases[] = {
        {"short titles", "Later", "Update Now", true},
        {"a long title", "Don't Allow", "Allow While Using App", false},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto alert = std::make_shared<AlertController>(QStringLiteral("Title"), QString(),
                                                       AlertController::Style::Alert);
        alert->addAction(std::make_shared<AlertAction>(testCase.cancel, AlertAction::Style::Cancel));
        alert->addAction(std::make_shared<AlertAction>(testCase.other, AlertAction::Style::Default));
        root->presentViewController(alert, false);
        test::drainAnimations();
        auto* cancel = test::find<Button>(&window, QString::fromUtf8(testCase.cancel));
        auto* other = test::find<Button>(&window, QString::fromUtf8(testCase.other));
        ASSERT_TRUE(cancel && other);
        if (testCase.sideBySide) {
            EXPECT_EQ(cancel->frame().y(), other->frame().y());
            EXPECT_LT(cancel->frame().x(), other->frame().x());
        } else {
            EXPECT_EQ(cancel->frame().x(), other->frame().x());
            EXPECT_GT(cancel->frame().y(), other->frame().y());
            EXPECT_EQ(other->frame().width(), cancel->frame().width());
            EXPECT_GT(other->frame().width(), 200);
        }
        root->dismissViewController(false);
        test::drainAnimations();
    }
}

}  // namespace
}  // namespace tovrin::ui
