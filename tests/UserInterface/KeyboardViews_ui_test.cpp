#include <gtest/gtest.h>

#include <QImage>

#include "Categories/UI/Color+Tovrin.h"
#include "Categories/UI/Font+Tovrin.h"
#include "UserInterface/KeyboardAccessoryView.h"
#include "UserInterface/Nibs.h"
#include "UserInterface/RangePickerView.h"
#include "UserInterface/TrackingInputAccessoryView.h"
#include "UserInterface/ViewWithInputAccessoryView.h"
#include "UserInterface/ViewWithInputView.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/system/Screen.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/input/Keyboard.h"
#include "platform/ui/input/TapGestureRecognizer.h"
#include "platform/ui/text/Label.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin {
namespace {

// An account form as the sign-in screen builds it: a field whose keyboard carries the Done bar,
// loaded from its nib at the first request and kept.
class AccountForm : public ui::ViewController, public KeyboardAccessoryViewDelegate {
public:
    ui::TextField* email = nullptr;
    int doneCount = 0;
    mutable int nibLoads = 0;

    std::shared_ptr<ui::View> inputAccessoryView() const override {
        if (!accessory_) {
            ++nibLoads;
            auto* bar = qobject_cast<KeyboardAccessoryView*>(
                loadNibNamed(QStringLiteral("KeyboardAccessoryView")).front());
            bar->setDelegate(std::const_pointer_cast<AccountForm>(sharedSelf<const AccountForm>()));
            accessory_ = ui::sharedWidget(bar);
        }
        return accessory_;
    }
    KeyboardAccessoryView* accessory() const {
        return qobject_cast<KeyboardAccessoryView*>(accessory_.get());
    }

    void keyboardAccessoryViewDone(KeyboardAccessoryView&) override {
        ++doneCount;
        view()->endEditing(true);
    }

protected:
    void loadView() override {
        auto* root = new ui::View();
        root->setBackgroundColor(tovrinGrayBlack1Color());
        auto* caption = new ui::Label(root);
        caption->setText(QStringLiteral("Sign In"));
        caption->setFont(tovrinFont(QStringLiteral("DINOT-Medium"), 20));
        caption->setTextColor(tovrinOffWhiteColor());
        caption->setFrame(QRectF(20, 60, 200, 30));
        email = new ui::TextField(root);
        email->setBackgroundColor(tovrinGrayBlack2Color());
        email->setTextColor(tovrinOffWhiteColor());
        email->setFont(tovrinFont(QStringLiteral("DIN OT"), 16));
        email->setPlaceholder(QStringLiteral("E-mail"));
        email->setAccessibilityIdentifier(QStringLiteral("E-mail"));
        email->setFrame(QRectF(20, 110, 280, 44));
        setView(root);
    }

private:
    mutable std::shared_ptr<ui::View> accessory_;
};

struct Heard {
    QString name;
    QRectF end;
};

class KeyboardViewsTest : public testing::Test {
protected:
    ui::ImmediateAnimations immediate;
    std::shared_ptr<NotificationCenter> center = std::make_shared<NotificationCenter>();
    ui::Window window{nullptr, center};
    std::vector<Heard> heard;
    std::vector<NotificationToken> tokens;

    void SetUp() override {
        for (const QString& name : {ui::Keyboard::WillShowNotification, ui::Keyboard::DidShowNotification,
                                    ui::Keyboard::WillHideNotification, ui::Keyboard::DidHideNotification}) {
            tokens.push_back(center->addObserver(name, nullptr, [this](const Notification& notification) {
                heard.push_back({notification.name,
                                 notification.userInfo.value(ui::Keyboard::FrameEndUserInfoKey).toRectF()});
            }));
        }
    }
    QStringList names() const {
        QStringList list;
        for (const auto& each : heard) list << each.name;
        return list;
    }
};

TEST_F(KeyboardViewsTest, DoneOnTheBarAboveTheKeysReachesTheFormOnceAndTheBarIsKept) {
    auto form = std::make_shared<AccountForm>();
    window.setRootViewController(form);
    window.makeKeyAndVisible();
    ASSERT_TRUE(test::showKeyboard(form->email));
    KeyboardAccessoryView* bar = form->accessory();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->superview(), window.keyboard().hostView());
    EXPECT_EQ(window.keyboard().frame(), QRectF(0, 667 - 216 - 44, 375, 216 + 44));
    ASSERT_NE(bar->doneButton(), nullptr);
    const QRectF done = bar->doneButton()->convertRect(bar->doneButton()->bounds(), nullptr);
    EXPECT_GT(done.left(), 375 - 80);
    EXPECT_LE(done.right(), 375);
    test::typeText(QStringLiteral("someone@example.org"));
    form->view()->layoutIfNeeded();
    test::saveScreenshot(&window, QStringLiteral("keyboard-done-bar"));

    test::tap(bar->doneButton());
    test::drainAnimations();
    EXPECT_EQ(form->doneCount, 1);
    EXPECT_FALSE(form->email->isFirstResponder());
    EXPECT_FALSE(window.keyboard().isVisible());

    // The next editing brings the same bar back.
    ASSERT_TRUE(test::showKeyboard(form->email));
    EXPECT_EQ(form->accessory(), bar);
    EXPECT_EQ(form->nibLoads, 1);
    test::tap(bar->doneButton());
    test::drainAnimations();
    EXPECT_EQ(form->doneCount, 2);
}

TEST_F(KeyboardViewsTest, ABarWhoseDelegateIsGoneDoesNothing) {
    auto* bar =
        qobject_cast<KeyboardAccessoryView*>(loadNibNamed(QStringLiteral("KeyboardAccessoryView")).front());
    ASSERT_NE(bar, nullptr);
    bar->setFrame(QRectF(0, 300, 375, KeyboardAccessoryView::Height));
    window.addSubview(bar);
    window.makeKeyAndVisible();
    {
        auto form = std::make_shared<AccountForm>();
        bar->setDelegate(form);
    }
    EXPECT_EQ(bar->delegate(), nullptr);
    test::tap(bar->doneButton());
    test::drainAnimations();
    EXPECT_TRUE(bar->isVisible());
}

TEST_F(KeyboardViewsTest, AViewWithItsInteractionSwitchedOffIsMadeFirstResponderByATapAndShowsItsInputView) {
    auto* filter = new ViewWithInputView();
    filter->setUserInteractionEnabled(false);  // as a nib may set it
    EXPECT_TRUE(filter->isUserInteractionEnabled());
    filter->setFrame(QRectF(0, 200, 375, 60));
    filter->setBackgroundColor(tovrinGrayBlack2Color());
    QPointer<ViewWithInputView> target(filter);
    filter->addGestureRecognizer(std::make_shared<ui::TapGestureRecognizer>([target](ui::GestureRecognizer&) {
        if (target) target->becomeFirstResponder();
    }));
    auto* label = new ui::Label(filter);
    label->setText(QStringLiteral("Age  18 – 40"));
    label->setFont(tovrinFont(QStringLiteral("DIN OT"), 16));
    label->setTextColor(tovrinOffWhiteColor());
    label->setFrame(QRectF(15, 0, 300, 60));

    auto* picker = new RangePickerView();
    picker->setFrame(QRectF(0, 0, 375, 216));
    std::vector<RangePickerViewData> ages;
    for (int age = 18; age <= 40; ++age) ages.emplace_back(QString::number(age), age);
    picker->setPickerData(ages);
    picker->setMaximumItemMatchingValue(40);
    SettableInputView& settable = *filter;
    settable.setInputView(ui::sharedWidget<ui::View>(picker));
    EXPECT_EQ(filter->inputView().get(), picker);

    auto* root = new ui::View();
    root->setBackgroundColor(tovrinGrayBlack1Color());
    root->addSubview(filter);
    root->setFrame(QRectF(0, 0, 375, 667));
    window.addSubview(root);
    window.makeKeyAndVisible();

    test::tap(filter);
    test::drainAnimations();
    EXPECT_TRUE(filter->isFirstResponder());
    ASSERT_EQ(names(), (QStringList{ui::Keyboard::WillShowNotification, ui::Keyboard::DidShowNotification}));
    EXPECT_EQ(heard[0].end, QRectF(0, 667 - 216, 375, 216));
    EXPECT_EQ(picker->superview(), window.keyboard().hostView());
    EXPECT_EQ(picker->convertRect(picker->bounds(), nullptr), heard[0].end);
    test::saveScreenshot(&window, QStringLiteral("keyboard-input-view"));

    heard.clear();
    EXPECT_TRUE(test::hideKeyboard(&window));
    EXPECT_EQ(names(), (QStringList{ui::Keyboard::WillHideNotification, ui::Keyboard::DidHideNotification}));
}

struct CoveredHeights : TrackingInputAccessoryViewDelegate {
    std::vector<double> heights;
    void trackingInputAccessoryView(TrackingInputAccessoryView&, double coveredHeight) override {
        heights.push_back(coveredHeight);
    }
};

TEST(TrackingInputAccessoryView, TheCoveredHeightIsTheScreenBelowTheTopOfItsHost) {
    struct Case {
        const char* what;
        std::optional<double> hostTop;
        double expected;
    };
    const std::vector<Case> cases{
        {"host at 200 on a 568-point screen", 200.0, 368},
        {"host at the top", 0.0, 568},
        {"host below the screen", 600.0, -32},
        {"no host: the whole screen", std::nullopt, 568},
    };
    const auto screen = std::make_shared<tovrin::Screen>(QRectF(0, 0, 320, 568), 2);
    for (const Case& each : cases) {
        auto heights = std::make_shared<CoveredHeights>();
        ui::View host;
        auto* tracking = new TrackingInputAccessoryView(screen);
        tracking->setDelegate(heights);
        tracking->setFrame(QRectF(0, 0, 320, 0));
        if (each.hostTop) {
            host.setFrame(QRectF(0, *each.hostTop, 320, 260));
            host.addSubview(tracking);
        }
        tracking->layoutIfNeeded();
        ASSERT_FALSE(heights->heights.empty()) << each.what;
        EXPECT_DOUBLE_EQ(heights->heights.back(), each.expected) << each.what;
        if (!each.hostTop) delete tracking;
    }
}

TEST_F(KeyboardViewsTest, AnInputBarHearsHowMuchTheKeyboardCoversThroughItsTrackingAccessory) {
    auto heights = std::make_shared<CoveredHeights>();
    auto* bar = new ViewWithInputAccessoryView();
    bar->setFrame(QRectF(0, 623, 375, 44));
    auto* tracking = new TrackingInputAccessoryView();
    tracking->setFrame(QRectF(0, 0, 375, 0));
    tracking->setDelegate(heights);
    bar->setInputAccessoryView(ui::sharedWidget<ui::View>(tracking));
    // The bar's text field finds the bar's accessory up the responder chain.
    auto* field = new ui::TextField();
    field->setFrame(QRectF(8, 4, 300, 36));
    bar->addSubview(field);
    window.addSubview(bar);
    window.makeKeyAndVisible();

    // Alone, the accessory stands at the bottom edge: nothing of the screen is covered.
    ASSERT_TRUE(test::showKeyboard(bar));
    EXPECT_TRUE(bar->isFirstResponder());
    ASSERT_EQ(names(), (QStringList{ui::Keyboard::WillShowNotification, ui::Keyboard::DidShowNotification}));
    EXPECT_EQ(heard[0].end, QRectF(0, 667, 375, 0));
    ASSERT_FALSE(heights->heights.empty());
    EXPECT_DOUBLE_EQ(heights->heights.back(), 0);

    // Typing in the bar brings the keys up under the same accessory.
    test::tap(field);
    test::drainAnimations();
    ASSERT_TRUE(field->isFirstResponder());
    EXPECT_EQ(tracking->superview(), window.keyboard().hostView());
    EXPECT_DOUBLE_EQ(heights->heights.back(), ui::Keyboard::KeysHeight);

    heard.clear();
    EXPECT_TRUE(test::hideKeyboard(&window));
    EXPECT_EQ(names(), (QStringList{ui::Keyboard::WillHideNotification, ui::Keyboard::DidHideNotification}));
    EXPECT_EQ(tracking->superview(), nullptr);
}

}  // namespace
}  // namespace tovrin
