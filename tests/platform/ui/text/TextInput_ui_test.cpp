#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/ViewController.h"
#include "platform/ui/input/Keyboard.h"
#include "platform/ui/scrolling/ScrollView.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin::ui {
namespace {

// Refuses any edit that would make the text longer than the limit.
class LimitedLength : public TextFieldDelegate, public TextViewDelegate {
public:
    explicit LimitedLength(int limit) : limit_(limit) {}
    bool shouldChangeCharacters(TextField& field, const TextEdit& edit) override {
        return check(field.text(), edit);
    }
    bool shouldChangeText(TextView& view, const TextEdit& edit) override { return check(view.text(), edit); }
    std::vector<TextEdit> asked;

private:
    bool check(const QString& text, const TextEdit& edit) {
        asked.push_back(edit);
        return text.size() - edit.length + edit.replacement.size() <= limit_;
    }
    int limit_;
};

// Moves its text right and, when asked, down; narrows it further while editing; moves the right
// view in from the edge; asks for more height. The hooks a form field overrides.
class ShiftedField : public TextField {
public:
    double down = 0;
    QRectF textRectForBounds(const QRectF& bounds) const override {
        return TextField::textRectForBounds(bounds).translated(14, down);
    }
    QRectF editingRectForBounds(const QRectF& bounds) const override {
        return textRectForBounds(bounds).adjusted(0, 0, -10, 0);
    }
    QRectF rightViewRectForBounds(const QRectF& bounds) const override {
        return TextField::rightViewRectForBounds(bounds).translated(-5, 0);
    }
    QSizeF intrinsicContentSize() const override { return TextField::intrinsicContentSize() + QSizeF(0, 20); }
    QRectF editorFrame() const { return QRectF(findChild<QLineEdit*>()->geometry()); }
};

// Takes a tap to become first responder, as a view that brings up only its input views does.
class TappableResponder : public View {
public:
    std::shared_ptr<View> input;
    std::shared_ptr<View> accessory;
    bool alwaysInteractive = false;
    bool canBecomeFirstResponder() const override { return true; }
    bool isUserInteractionEnabled() const override {
        return alwaysInteractive || View::isUserInteractionEnabled();
    }
    std::shared_ptr<View> inputView() const override { return input; }
    std::shared_ptr<View> inputAccessoryView() const override { return accessory; }
    void touchesEnded(const Touches&) override { becomeFirstResponder(); }
};

// Notes, at every layout, where the view holding it stands.
class TrackingAccessory : public View {
public:
    std::vector<double> hostTops;

protected:
    void layoutSubviews() override { hostTops.push_back(superview() ? superview()->frame().top() : -1); }
};

struct Heard {
    QString name;
    QRectF begin;
    QRectF end;
    double duration;
};

class TextInputTest : public testing::Test {
protected:
    ImmediateAnimations immediate;
    std::shared_ptr<NotificationCenter> center = std::make_shared<NotificationCenter>();
    Window window{nullptr, center};
    TextField* first = new TextField();
    TextField* second = new TextField();
    std::vector<Heard> heard;
    std::vector<NotificationToken> tokens;

    void SetUp() override {
        first->setFrame(QRectF(20, 100, 300, 40));
        second->setFrame(QRectF(20, 160, 300, 40));
        window.addSubview(first);
        window.addSubview(second);
        window.makeKeyAndVisible();
        for (const QString& name : {Keyboard::WillShowNotification, Keyboard::DidShowNotification,
                                    Keyboard::WillHideNotification, Keyboard::DidHideNotification}) {
            tokens.push_back(center->addObserver(name, nullptr, [this](const Notification& notification) {
                heard.push_back(
                    {notification.name,
                     notification.userInfo.value(Keyboard::FrameBeginUserInfoKey).toRectF(),
                     notification.userInfo.value(Keyboard::FrameEndUserInfoKey).toRectF(),
                     notification.userInfo.value(Keyboard::AnimationDurationUserInfoKey).toDouble()});
            }));
        }
    }
    QStringList names() const {
        QStringList list;
        for (const auto& each : heard) list << each.name;
        return list;
    }
};

TEST_F(TextInputTest, TakingFocusShowsTheKeyboardWithItsEndFrameAndLeavingHidesIt) {
    test::tap(first);
    test::drainAnimations();
    EXPECT_TRUE(first->isFirstResponder());
    EXPECT_TRUE(first->isEditing());
    ASSERT_EQ(names(), (QStringList{Keyboard::WillShowNotification, Keyboard::DidShowNotification}));
    EXPECT_EQ(heard[0].end, QRectF(0, 667 - 216, 375, 216));
    EXPECT_EQ(heard[0].begin, QRectF(0, 667, 375, 216));
    EXPECT_DOUBLE_EQ(heard[0].duration, Keyboard::AnimationDuration);
    EXPECT_EQ(window.keyboard().frame(), heard[0].end);

    heard.clear();
    EXPECT_TRUE(test::hideKeyboard(&window));
    EXPECT_FALSE(first->isFirstResponder());
    ASSERT_EQ(names(), (QStringList{Keyboard::WillHideNotification, Keyboard::DidHideNotification}));
    EXPECT_EQ(heard[0].end, QRectF(0, 667, 375, 216));
}

// The fields of a form live in a screen's view, below the window's presentation layer.
TEST_F(TextInputTest, TappingAFieldOfTheRootScreenStartsEditingAndReachesFieldsOfAPresentedScreen) {
    auto screen = std::make_shared<ViewController>();
    auto* field = new TextField();
    field->setFrame(QRectF(20, 300, 300, 40));
    screen->view()->addSubview(field);
    window.setRootViewController(screen);
    screen->view()->layoutIfNeeded();
    ASSERT_TRUE(test::runUntil([&] { return window.isActiveWindow(); }));

    test::tap(field);
    EXPECT_TRUE(field->isEditing());
    test::typeText(QStringLiteral("kim"));
    EXPECT_EQ(field->text(), QStringLiteral("kim"));

    auto presented = std::make_shared<ViewController>();
    auto* presentedField = new TextField();
    presentedField->setFrame(QRectF(20, 200, 300, 40));
    presented->view()->addSubview(presentedField);
    screen->presentViewController(presented, false);
    test::drainAnimations();
    test::tap(presentedField);
    EXPECT_TRUE(presentedField->isEditing());

    presented->dismissViewController(false);
    test::drainAnimations();
    test::tap(field);
    EXPECT_TRUE(field->isEditing());
}

TEST_F(TextInputTest, MovingFromOneFieldToTheNextKeepsTheKeyboardUp) {
    ASSERT_TRUE(test::showKeyboard(first));
    heard.clear();
    ASSERT_TRUE(second->becomeFirstResponder());
    test::drainAnimations();
    EXPECT_FALSE(names().contains(Keyboard::WillHideNotification));
    EXPECT_TRUE(window.keyboard().isVisible());
}

TEST_F(TextInputTest, TheAccessoryViewRidesAboveTheKeysAndCountsInTheFrame) {
    auto accessory = sharedWidget(new View());
    accessory->setFrame(QRectF(0, 0, 375, 44));
    first->setInputAccessoryView(accessory);
    ASSERT_TRUE(test::showKeyboard(first));
    EXPECT_EQ(heard.front().end, QRectF(0, 667 - 216 - 44, 375, 260));
    EXPECT_EQ(accessory->superview(), window.keyboard().hostView());
    test::hideKeyboard(&window);
    EXPECT_EQ(accessory->superview(), nullptr);
}

TEST_F(TextInputTest, AnInputViewTakesThePlaceOfTheKeys) {
    auto picker = sharedWidget(new View());
    picker->setFrame(QRectF(0, 0, 375, 180));
    second->setInputView(picker);
    ASSERT_TRUE(test::showKeyboard(second));
    EXPECT_EQ(heard.front().end, QRectF(0, 667 - 180, 375, 180));
}

TEST_F(TextInputTest, AResponderWithOnlyAnAccessoryShowsItAloneAtTheBottomEdge) {
    auto* holder = new TappableResponder();
    holder->setFrame(QRectF(0, 300, 375, 60));
    holder->accessory = sharedWidget(new View());
    holder->accessory->setFrame(QRectF(0, 0, 375, 50));
    window.addSubview(holder);
    test::tap(holder);
    test::drainAnimations();
    ASSERT_TRUE(holder->isFirstResponder());
    ASSERT_EQ(names(), (QStringList{Keyboard::WillShowNotification, Keyboard::DidShowNotification}));
    EXPECT_EQ(heard[0].begin, QRectF(0, 667, 375, 50));
    EXPECT_EQ(heard[0].end, QRectF(0, 667 - 50, 375, 50));
    EXPECT_EQ(window.keyboard().frame(), heard[0].end);
    EXPECT_EQ(holder->accessory->superview(), window.keyboard().hostView());
    EXPECT_EQ(holder->accessory->convertRect(holder->accessory->bounds(), nullptr), heard[0].end);

    // A text field brings its keys up below the same kind of accessory.
    heard.clear();
    first->setInputAccessoryView(holder->accessory);
    ASSERT_TRUE(first->becomeFirstResponder());
    test::drainAnimations();
    EXPECT_EQ(window.keyboard().frame(), QRectF(0, 667 - 216 - 50, 375, 266));
    EXPECT_FALSE(names().contains(Keyboard::WillHideNotification));

    heard.clear();
    ASSERT_TRUE(holder->becomeFirstResponder());
    test::drainAnimations();
    EXPECT_EQ(window.keyboard().frame(), QRectF(0, 667 - 50, 375, 50));
    heard.clear();
    EXPECT_TRUE(test::hideKeyboard(&window));
    ASSERT_EQ(names(), (QStringList{Keyboard::WillHideNotification, Keyboard::DidHideNotification}));
    EXPECT_EQ(heard[0].end, QRectF(0, 667, 375, 50));

    // Giving the accessory up while first responder takes it down.
    ASSERT_TRUE(test::showKeyboard(holder));
    heard.clear();
    holder->accessory = nullptr;
    holder->reloadInputViews();
    test::drainAnimations();
    EXPECT_TRUE(holder->isFirstResponder());
    EXPECT_FALSE(window.keyboard().isVisible());
    EXPECT_EQ(names(), (QStringList{Keyboard::WillHideNotification, Keyboard::DidHideNotification}));
}

TEST_F(TextInputTest, AViewThatStaysInteractiveIsMadeFirstResponderByATapAndShowsItsInputView) {
    auto* plain = new TappableResponder();
    auto* staying = new TappableResponder();
    for (auto* each : {plain, staying}) {
        each->input = sharedWidget(new View());
        each->input->setFrame(QRectF(0, 0, 375, 180));
        each->setUserInteractionEnabled(false);
        window.addSubview(each);
    }
    plain->setFrame(QRectF(0, 300, 375, 60));
    staying->setFrame(QRectF(0, 400, 375, 60));
    staying->alwaysInteractive = true;
    EXPECT_TRUE(staying->isUserInteractionEnabled());

    test::tap(plain);
    test::drainAnimations();
    EXPECT_FALSE(plain->isFirstResponder());
    EXPECT_TRUE(heard.empty());

    test::tap(staying);
    test::drainAnimations();
    EXPECT_TRUE(staying->isFirstResponder());
    ASSERT_EQ(names(), (QStringList{Keyboard::WillShowNotification, Keyboard::DidShowNotification}));
    EXPECT_EQ(heard[0].end, QRectF(0, 667 - 180, 375, 180));
    EXPECT_EQ(staying->input->superview(), window.keyboard().hostView());
}

TEST_F(TextInputTest, AnAccessoryIsLaidOutAgainAtEveryMoveOfTheKeyboard) {
    auto* list = new ScrollView();
    list->setFrame(QRectF(0, 0, 375, 667));
    list->setContentSize(QSizeF(375, 2000));
    list->setKeyboardDismissMode(ScrollView::KeyboardDismissMode::Interactive);
    window.insertSubviewBelow(list, first);
    auto* tracking = new TrackingAccessory();
    tracking->setFrame(QRectF(0, 0, 375, 44));
    first->setInputAccessoryView(sharedWidget(tracking));
    const double shownTop = 667 - 216 - 44;
    ASSERT_TRUE(test::showKeyboard(first));
    ASSERT_FALSE(tracking->hostTops.empty());
    EXPECT_DOUBLE_EQ(tracking->hostTops.back(), shownTop);

    // The finger drags the keyboard down part of the way: the accessory hears each step.
    tracking->hostTops.clear();
    test::drag(list, QPointF(200, 300), QPointF(200, 660), 30);
    test::drainAnimations();
    const auto between = std::count_if(tracking->hostTops.begin(), tracking->hostTops.end(),
                                       [&](double top) { return top > shownTop && top < 667; });
    EXPECT_GE(between, 3);
    ASSERT_FALSE(tracking->hostTops.empty());
    EXPECT_DOUBLE_EQ(tracking->hostTops.back(), 667);
}

TEST_F(TextInputTest, TheFieldsLayoutPlacesItsTextAndRightViewThroughItsOverridableRectangles) {
    auto* field = new ShiftedField();
    field->setFrame(QRectF(20, 300, 300, 40));
    window.addSubview(field);
    auto clear = sharedWidget(new View());
    clear->setFrame(QRectF(0, 0, 30, 30));
    field->setRightView(clear, TextField::ViewMode::WhileEditing);
    field->layoutIfNeeded();
    // Not editing, the right view is away and the text has the whole width, moved right.
    EXPECT_EQ(field->editorFrame(), QRectF(14, 0, 300, 40));
    EXPECT_EQ(field->textRectForBounds(field->bounds()), QRectF(14, 0, 300, 40));

    test::tap(field);
    test::drainAnimations();
    field->layoutIfNeeded();
    ASSERT_TRUE(field->isEditing());
    EXPECT_EQ(clear->frame(), QRectF(300 - 30 - 5, 5, 30, 30));
    EXPECT_EQ(field->editorFrame(), QRectF(14, 0, 270 - 10, 40));
    test::typeText(QStringLiteral("ab"));
    EXPECT_EQ(field->text(), QStringLiteral("ab"));
    field->down = 5;
    field->setNeedsLayout();
    field->layoutIfNeeded();
    EXPECT_EQ(field->editorFrame(), QRectF(14, 5, 260, 40));

    const double plainHeight = first->sizeThatFits(QSizeF(300, 0)).height();
    EXPECT_DOUBLE_EQ(first->intrinsicContentSize().height(), plainHeight);
    field->sizeToFit();
    EXPECT_EQ(field->frame(), QRectF(20, 300, 300, plainHeight + 20));
}

TEST_F(TextInputTest, DraggingAListDownIntoTheKeyboardTakesItDown) {
    auto* list = new ScrollView();
    list->setFrame(QRectF(0, 0, 375, 667));
    list->setContentSize(QSizeF(375, 2000));
    list->setKeyboardDismissMode(ScrollView::KeyboardDismissMode::Interactive);
    window.insertSubviewBelow(list, first);
    ASSERT_TRUE(test::showKeyboard(first));
    test::drag(list, QPointF(200, 300), QPointF(200, 420), 10);
    EXPECT_TRUE(first->isFirstResponder());  // the finger stayed above the keys
    test::drag(list, QPointF(200, 300), QPointF(200, 660), 30);
    test::drainAnimations();
    EXPECT_FALSE(first->isFirstResponder());
    EXPECT_FALSE(window.keyboard().isVisible());
}

TEST_F(TextInputTest, TheShouldChangeHookRefusesAnEditBeforeItHappens) {
    auto limit = std::make_shared<LimitedLength>(5);
    first->setDelegate(limit);
    int changes = 0;
    first->addTarget(Control::EditingChanged, [&](Control&) { ++changes; });
    ASSERT_TRUE(test::showKeyboard(first));
    test::typeText(QStringLiteral("abcdefg"));
    EXPECT_EQ(first->text(), QStringLiteral("abcde"));
    EXPECT_EQ(changes, 5);
    ASSERT_EQ(limit->asked.size(), 7u);
    EXPECT_EQ(limit->asked[5].start, 5);
    EXPECT_EQ(limit->asked[5].replacement, QStringLiteral("f"));
    // Deleting stays allowed, and is asked about with its range.
    test::pressKey(Qt::Key_Backspace);
    EXPECT_EQ(first->text(), QStringLiteral("abcd"));
    EXPECT_EQ(limit->asked.back().start, 4);
    EXPECT_EQ(limit->asked.back().length, 1);
}

TEST_F(TextInputTest, TextSetInCodeIsNotAskedAbout) {
    auto limit = std::make_shared<LimitedLength>(2);
    first->setDelegate(limit);
    first->setText(QStringLiteral("longer than two"));
    EXPECT_EQ(first->text(), QStringLiteral("longer than two"));
    EXPECT_TRUE(limit->asked.empty());
}

TEST_F(TextInputTest, ReturnEndsEditingWhenSomeoneListens) {
    bool returned = false;
    first->addTarget(Control::EditingDidEndOnExit, [&](Control&) { returned = true; });
    ASSERT_TRUE(test::showKeyboard(first));
    test::pressKey(Qt::Key_Return);
    EXPECT_TRUE(returned);
    EXPECT_FALSE(first->isFirstResponder());
}

TEST_F(TextInputTest, ATextViewRefusesEditsThroughItsHookToo) {
    auto* view = new TextView();
    view->setFrame(QRectF(20, 220, 300, 80));
    window.addSubview(view);
    auto limit = std::make_shared<LimitedLength>(3);
    view->setDelegate(limit);
    ASSERT_TRUE(test::showKeyboard(view));
    test::typeText(QStringLiteral("abcd"));
    EXPECT_EQ(view->text(), QStringLiteral("abc"));
    EXPECT_GT(view->contentSize().height(), 0);
}

TEST(TextEdit, TheEditBetweenTwoTextsIsTheChangedMiddle) {
    const struct {
        const char* before;
        const char* after;
        int start, length;
        const char* replacement;
    } cases[] = {
        {"hello", "hello!", 5, 0, "!"},
        {"hello", "hllo", 1, 1, ""},
        {"hello", "help", 3, 2, "p"},
        {"", "abc", 0, 0, "abc"},
    };
    for (const auto& each : cases) {
        const TextEdit edit =
            TextEdit::between(QString::fromUtf8(each.before), QString::fromUtf8(each.after));
        EXPECT_EQ(edit.start, each.start) << each.before << " → " << each.after;
        EXPECT_EQ(edit.length, each.length) << each.before << " → " << each.after;
        EXPECT_EQ(edit.replacement, QString::fromUtf8(each.replacement))
            << each.before << " → " << each.after;
    }
}

}  // namespace
}  // namespace tovrin::ui
