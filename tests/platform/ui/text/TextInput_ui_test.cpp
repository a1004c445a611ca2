#include <gtest/gtest.h>

#include <QApplication>

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/animation/ViewAnimation.h"
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
