#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QLineEdit>
#include <cmath>

#include "Categories/UI/AttributedString+Tovrin.h"
#include "Categories/UI/Color+Tovrin.h"
#include "Categories/UI/Font+Tovrin.h"
#include "UserInterface/AdjustableTapTargetButton.h"
#include "UserInterface/CheckmarkButton.h"
#include "UserInterface/Nibs.h"
#include "UserInterface/TextFieldWithError.h"
#include "UserInterface/ToggleButton.h"
#include "platform/system/Screen.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/input/Keyboard.h"
#include "platform/ui/text/Font.h"
#include "platform/ui/text/IconFont.h"
#include "platform/ui/text/Label.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin {
namespace {

constexpr double formFieldHeight = 56;

// The narrowest phone: every form control must fit it.
class NarrowScreen {
public:
    NarrowScreen() : previous_(::tovrin::Screen::main()->bounds()) {
        ::tovrin::Screen::main()->setBounds(QRectF(0, 0, 320, 568));
    }
    ~NarrowScreen() { ::tovrin::Screen::main()->setBounds(previous_); }

private:
    QRectF previous_;
};

// A dark account form on the narrowest phone, with its fields made as the storyboard makes them.
class FormTest : public testing::Test {
protected:
    NarrowScreen narrow;
    ui::ImmediateAnimations immediate;
    ui::Window window{nullptr};
    ui::View* form = new ui::View();

    void SetUp() override {
        form->setFrame(window.bounds());
        form->setBackgroundColor(tovrinGrayBlack2Color());
        window.addSubview(form);
        window.makeKeyAndVisible();
    }
    TextFieldWithError* addField(const QString& placeholder, double top) {
        auto* field = new TextFieldWithError(placeholder, QRectF(16, top, 288, formFieldHeight));
        field->setFont(tovrinFont(QStringLiteral("DINOT"), 16));
        field->setTextColor(tovrinOffWhiteColor());
        field->setAttributedPlaceholder(tvr_attributedPlaceholder(placeholder));
        form->addSubview(field);
        field->layoutIfNeeded();
        return field;
    }
    // The nib in a container, filling it, as the sign-up form holds its check boxes.
    CheckmarkButton* addCheckBox(const QString& title, double top) {
        auto* container = new ui::View();
        container->setFrame(QRectF(16, top, 288, 44));
        form->addSubview(container);
        const auto views = loadNibNamed(QStringLiteral("CheckmarkButton"));
        EXPECT_EQ(views.size(), 1u);
        auto* box = qobject_cast<CheckmarkButton*>(views.front());
        EXPECT_NE(box, nullptr);
        box->setFrame(container->bounds());
        box->setTitle(title);
        container->addSubview(box);
        box->layoutIfNeeded();
        return box;
    }
    void typeInto(TextFieldWithError* field, const QString& text) {
        if (!field->isFirstResponder()) test::tap(field);
        test::drainAnimations();
        test::typeText(text);
    }
    static QRect editorFrame(const TextFieldWithError* field) {
        return field->findChild<QLineEdit*>()->geometry();
    }
};

TEST_F(FormTest, AFieldHasThreeLooksAndMovesItsTextDownWhileTheCaptionShows) {
    TextFieldWithError* email = addField(QStringLiteral("Email"), 60);
    const QRectF bounds(0, 0, 288, formFieldHeight);

    // Empty, as the storyboard left it: the placeholder names the field.
    EXPECT_EQ(email->accessibilityIdentifier(), QStringLiteral("Email"));
    EXPECT_TRUE(email->isAccessibilityElement());
    EXPECT_TRUE(email->metaLabel()->isHidden());
    EXPECT_FALSE(email->shiftTextWithPadding());
    EXPECT_EQ(email->backgroundColor(), QColor(Qt::transparent));
    EXPECT_EQ(email->textRectForBounds(bounds), bounds.translated(14, 0));
    EXPECT_EQ(editorFrame(email).top(), 0);
    test::saveScreenshot(&window, QStringLiteral("TextFieldWithError-normal"));

    // An error on the empty field: the caption shows the message and the text moves down by 5.
    email->showErrorMessage(QStringLiteral("Please enter your email"));
    email->layoutIfNeeded();
    EXPECT_FALSE(email->metaLabel()->isHidden());
    EXPECT_EQ(email->metaLabel()->text(), QStringLiteral("Please enter your email"));
    EXPECT_TRUE(email->clearButton()->isHidden());
    EXPECT_EQ(email->backgroundColor(), tovrinDestructiveActionColor());
    EXPECT_TRUE(email->shiftTextWithPadding());
    EXPECT_EQ(email->textRectForBounds(bounds), bounds.translated(14, 5));
    EXPECT_EQ(editorFrame(email).top(), 5);
    const double captionHeight = QFontMetricsF(tovrinFont(QStringLiteral("DINOT"), 10)).height();
    EXPECT_EQ(email->metaLabel()->frame(), QRectF(14, 5, 288, captionHeight));
    test::saveScreenshot(&window, QStringLiteral("TextFieldWithError-error"));

    // Typing ends the error: the placeholder becomes the caption and the clear button shows.
    typeInto(email, QStringLiteral("kim@example.com"));
    email->layoutIfNeeded();
    EXPECT_EQ(email->text(), QStringLiteral("kim@example.com"));
    EXPECT_FALSE(email->metaLabel()->isHidden());
    EXPECT_EQ(email->metaLabel()->text(), QStringLiteral("Email"));
    EXPECT_EQ(email->metaLabel()->textColor(), tovrinOffWhiteColor());
    EXPECT_EQ(email->textColor(), tovrinOffWhiteColor());
    EXPECT_EQ(email->backgroundColor(), tovrinGrayBlack1Color());
    EXPECT_FALSE(email->clearButton()->isHidden());
    // The clear button stands 5 in from the right edge; the text leaves room for it.
    EXPECT_EQ(email->clearButton()->frame(), QRectF(288 - 45 - 5, (formFieldHeight - 45) / 2, 45, 45));
    EXPECT_EQ(email->textRectForBounds(bounds), QRectF(14, 5, 288 - 45, formFieldHeight));
    EXPECT_EQ(email->editingRectForBounds(bounds), email->textRectForBounds(bounds));
    EXPECT_EQ(editorFrame(email).top(), 5);
    EXPECT_EQ(email->metaLabel()->frame(), QRectF(14, 5, 288 - 45, captionHeight));
    test::saveScreenshot(&window, QStringLiteral("TextFieldWithError-editing"));

    // Emptied by typing: the dark ground stays, caption and clear button go, the text moves back up.
    for (int i = 0; i < 15; ++i) test::pressKey(Qt::Key_Backspace);
    email->layoutIfNeeded();
    EXPECT_TRUE(email->text().isEmpty());
    EXPECT_TRUE(email->metaLabel()->isHidden());
    EXPECT_TRUE(email->clearButton()->isHidden());
    EXPECT_EQ(email->backgroundColor(), tovrinGrayBlack1Color());
    EXPECT_EQ(email->textRectForBounds(bounds), bounds.translated(14, 0));
    EXPECT_EQ(editorFrame(email).top(), 0);

    ui::TextField sameFont;
    sameFont.setFont(email->font());
    EXPECT_EQ(email->intrinsicContentSize().height(),
              sameFont.intrinsicContentSize().height() + captionHeight + 10);
}

TEST_F(FormTest, AFieldMadeInCodeHasNoIdentifierAndTakesItsCaptionFromTheLaterPlaceholder) {
    auto* field = new TextFieldWithError(QRectF(16, 60, 288, formFieldHeight));
    form->addSubview(field);
    EXPECT_TRUE(field->accessibilityIdentifier().isEmpty());
    EXPECT_EQ(field->paddingSize(), 5);
    field->setPlaceholder(QStringLiteral("Password"));
    EXPECT_EQ(field->placeholder(), QStringLiteral("Password"));
    EXPECT_EQ(field->metaLabel()->text(), QStringLiteral("Password"));
    EXPECT_TRUE(field->metaLabel()->isHidden());
    test::tap(field);
    test::drainAnimations();
    test::typeText(QStringLiteral("x"));
    EXPECT_FALSE(field->metaLabel()->isHidden());
    EXPECT_EQ(field->metaLabel()->text(), QStringLiteral("Password"));
}

// What the screen's editing-changed handler finds when it runs.
struct SeenByScreen {
    QString text;
    bool captionHidden;
    bool clearButtonHidden;
    QColor background;
    friend bool operator==(const SeenByScreen&, const SeenByScreen&) = default;
};

std::ostream& operator<<(std::ostream& out, const SeenByScreen& seen) {
    return out << '"' << seen.text.toStdString() << "\" caption " << (seen.captionHidden ? "hidden" : "shown")
               << ", clear " << (seen.clearButtonHidden ? "hidden" : "shown") << ", "
               << seen.background.name().toStdString();
}

TEST_F(FormTest, TheClearButtonRunsTheScreensEditingHandlerAsTyping) {
    TextFieldWithError* email = addField(QStringLiteral("Email"), 60);
    std::vector<SeenByScreen> seen;
    email->addTarget(ui::Control::EditingChanged, [&](ui::Control&) {
        seen.push_back({email->text(), email->metaLabel()->isHidden(), email->clearButton()->isHidden(),
                        email->backgroundColor()});
    });
    typeInto(email, QStringLiteral("k"));
    test::pressKey(Qt::Key_Backspace);
    ASSERT_EQ(seen.size(), 2u);
    const SeenByScreen emptiedByTyping = seen.back();
    EXPECT_EQ(emptiedByTyping, (SeenByScreen{QString(), true, true, tovrinGrayBlack1Color()}));

    seen.clear();
    test::typeText(QStringLiteral("kim"));
    email->showErrorMessage(QStringLiteral("Email already in use"));
    // The error hides the clear button; the next letter brings it back, and it clears.
    test::typeText(QStringLiteral("m"));
    email->layoutIfNeeded();
    ASSERT_FALSE(email->clearButton()->isHidden());
    seen.clear();
    test::tap(email->clearButton());
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen.front(), emptiedByTyping);
    EXPECT_TRUE(email->text().isEmpty());
    EXPECT_TRUE(email->isFirstResponder());
    EXPECT_EQ(email->accessibilityLabel(), QStringLiteral("Value: , Error State: NO, Error Text: "));
}

TEST_F(FormTest, TheAccessibilityLabelReportsAnErrorOnlyWhileTheCaptionShowsOne) {
    TextFieldWithError* email = addField(QStringLiteral("Email"), 60);
    const struct Step {
        const char* what;
        std::function<void()> action;
        QString label;
    } steps[] = {
        {"untouched", [] {}, QStringLiteral("Value: , Error State: NO, Error Text: ")},
        {"typed", [&] { typeInto(email, QStringLiteral("kim")); },
         QStringLiteral("Value: kim, Error State: NO, Error Text: ")},
        {"refused", [&] { email->showErrorMessage(QStringLiteral("Invalid email")); },
         QStringLiteral("Value: kim, Error State: YES, Error Text: Invalid email")},
        {"edited again", [&] { test::typeText(QStringLiteral("@")); },
         QStringLiteral("Value: kim@, Error State: NO, Error Text: ")},
        {"cleared", [&] { test::tap(email->clearButton()); },
         QStringLiteral("Value: , Error State: NO, Error Text: ")},
        {"refused empty", [&] { email->showErrorMessage(QStringLiteral("Required")); },
         QStringLiteral("Value: , Error State: YES, Error Text: Required")},
        {"editing again",
         [&] {
             test::hideKeyboard(&window);
             test::tap(email);
         },
         QStringLiteral("Value: , Error State: NO, Error Text: ")},
    };
    for (const Step& step : steps) {
        step.action();
        EXPECT_EQ(email->accessibilityLabel(), step.label) << step.what;
    }

    // A password is never read out.
    TextFieldWithError* password = addField(QStringLiteral("Password"), 130);
    password->setSecureTextEntry(true);
    typeInto(password, QStringLiteral("s3cret"));
    EXPECT_EQ(password->accessibilityLabel(), QStringLiteral("Value: ••••••, Error State: NO, Error Text: "));
}

TEST_F(FormTest, TheCheckBoxTakesTouchesAroundItsBoxButNotOnItsTitle) {
    CheckmarkButton* box = addCheckBox(QStringLiteral("Send me news and offers"), 100);
    int tapped = 0;
    box->addTarget(ui::Control::TouchUpInside, [&](ui::Control&) { ++tapped; });
    const QRectF image = box->imageView()->frame();
    EXPECT_EQ(image.left(), 22);
    EXPECT_FALSE(box->titleLabel()->frame().intersects(image));
    const struct {
        const char* where;
        QPointF point;
        bool toggles;
    } touches[] = {
        {"on the box", image.center(), true},
        {"4 left of the box", QPointF(image.left() - 4, image.center().y()), true},
        {"4 above the box", QPointF(image.center().x(), image.top() - 4), true},
        {"6 left of the box", QPointF(image.left() - 6, image.center().y()), false},
        {"on the title", box->titleLabel()->frame().center(), false},
        {"just after the box", QPointF(image.right() + 6, image.center().y()), false},
    };
    bool ticked = false;
    for (const auto& touch : touches) {
        const int before = tapped;
        test::tap(box, touch.point);
        if (touch.toggles) ticked = !ticked;
        EXPECT_EQ(tapped - before, touch.toggles ? 1 : 0) << touch.where;
        EXPECT_EQ(box->isSelected(), ticked) << touch.where;
    }
}

TEST_F(FormTest, OnlyATickingTapEndsTheCheckBoxError) {
    CheckmarkButton* box = addCheckBox(QStringLiteral("I accept the terms of use"), 100);
    const QPointF onBox = box->imageView()->frame().center();
    EXPECT_EQ(box->backgroundColor(), QColor(Qt::transparent));
    box->setShowError(true);
    EXPECT_EQ(box->backgroundColor(), tovrinDestructiveActionColor());
    test::tap(box, box->titleLabel()->frame().center());
    EXPECT_EQ(box->backgroundColor(), tovrinDestructiveActionColor());
    test::tap(box, onBox);
    EXPECT_TRUE(box->isSelected());
    EXPECT_EQ(box->backgroundColor(), QColor(Qt::transparent));

    box->setShowError(true);
    test::tap(box, onBox);
    EXPECT_FALSE(box->isSelected());
    EXPECT_EQ(box->backgroundColor(), tovrinDestructiveActionColor());
    box->setShowError(false);
    EXPECT_EQ(box->backgroundColor(), QColor(Qt::transparent));
}

TEST_F(FormTest, ToggleButtonGlyphsAreAQuarterLargerThanTheTitleAndTakeTheImageColour) {
    auto* toggle = new ToggleButton();
    toggle->titleLabel()->setFont(tovrinFont(QStringLiteral("DINOT"), 16));
    toggle->setTitle(QStringLiteral("Saved phrase"));
    toggle->setTitleColor(tovrinGray1Color(), ui::Control::Highlighted);
    toggle->setNormalIcon(QStringLiteral("fa-star-o"));
    toggle->setSelectedIcon(QStringLiteral("fa-star"));
    toggle->setImageColor(tovrinGoldenRodColor());
    toggle->setFrame(QRectF(16, 100, 288, 44));
    form->addSubview(toggle);

    const double scale = ::tovrin::Screen::main()->scale();
    auto glyphSize = [&](const char* icon, double size) {
        const QFontMetricsF metrics(ui::IconFont::fontOfSize(size));
        const QString text = ui::IconFont::stringForIconName(QString::fromLatin1(icon));
        return QSizeF(std::ceil((metrics.horizontalAdvance(text) + 8) * scale) / scale,
                      std::ceil(metrics.height() * scale) / scale);
    };
    EXPECT_EQ(toggle->imageForState(ui::Control::Normal).size(), glyphSize("fa-star-o", 20));
    EXPECT_NE(glyphSize("fa-star-o", 20).height(), glyphSize("fa-star-o", 16).height());
    EXPECT_EQ(toggle->imageForState(ui::Control::Selected).size(), glyphSize("fa-star", 20));
    EXPECT_EQ(toggle->normalIcon(), QStringLiteral("fa-star-o"));
    EXPECT_EQ(toggle->selectedIcon(), QStringLiteral("fa-star"));

    using Mode = ui::Image::RenderingMode;
    const struct {
        int state;
        Mode mode;
    } looks[] = {{ui::Control::Normal, Mode::AlwaysTemplate},
                 {ui::Control::Highlighted, Mode::AlwaysOriginal},
                 {ui::Control::Selected, Mode::AlwaysTemplate},
                 {ui::Control::Selected | ui::Control::Highlighted, Mode::AlwaysOriginal}};
    for (const auto& look : looks) {
        EXPECT_EQ(toggle->imageForState(look.state).renderingMode(), look.mode) << look.state;
    }
    EXPECT_EQ(toggle->titleColorForState(ui::Control::Selected | ui::Control::Highlighted),
              tovrinGray1Color());
    EXPECT_EQ(toggle->titleLabel()->numberOfLines(), 0);

    // The glyph shows in the image colour.
    toggle->setSelected(true);
    toggle->layoutIfNeeded();
    const QImage shown = toggle->imageView()->grab().toImage();
    int golden = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (shown.pixel(x, y) == tovrinGoldenRodColor().rgb()) ++golden;
        }
    }
    EXPECT_GT(golden, 20);
    EXPECT_EQ(toggle->imageColor(), tovrinGoldenRodColor());
}

TEST_F(FormTest, ToggleButtonNamedImagesGetRoomBeforeTheTitle) {
    ToggleButton toggle;
    toggle.setNormalImageName(QStringLiteral("checkmarkButtonUnchecked"));
    toggle.setSelectedImageName(QStringLiteral("checkmarkButtonChecked"));
    const QSizeF named = ui::Image::named(QStringLiteral("checkmarkButtonChecked")).size();
    ASSERT_FALSE(named.isEmpty());
    EXPECT_EQ(toggle.imageForState(ui::Control::Selected).size(), named + QSizeF(12, 0));
    EXPECT_EQ(toggle.imageForState(ui::Control::Normal).size(),
              ui::Image::named(QStringLiteral("checkmarkButtonUnchecked")).size() + QSizeF(12, 0));
    EXPECT_EQ(toggle.normalImageName(), QStringLiteral("checkmarkButtonUnchecked"));
    EXPECT_EQ(toggle.selectedImageName(), QStringLiteral("checkmarkButtonChecked"));
    toggle.setNormalImageName(QStringLiteral("no such image"));
    EXPECT_TRUE(toggle.imageForState(ui::Control::Normal).isNull());
}

TEST_F(FormTest, ASmallButtonTakesTouchesAsFarAsItsExtensionReaches) {
    auto* button = new AdjustableTapTargetButton();
    button->setFrame(QRectF(150, 300, 20, 20));
    form->addSubview(button);
    int tapped = 0;
    button->addTarget(ui::Control::TouchUpInside, [&](ui::Control&) { ++tapped; });
    EXPECT_EQ(button->tapTargetExtension(), 0);
    const struct {
        double extension;
        QPointF point;  // from the button's top-left corner
        bool takes;
    } touches[] = {
        {0, {10, 10}, true},    {0, {-4, 10}, false},  {25, {-24, -24}, true}, {25, {44, 44}, true},
        {25, {-24, 44}, true},  {25, {10, -24}, true}, {25, {-26, 10}, false}, {25, {46, 10}, false},
        {25, {10, -26}, false}, {25, {10, 46}, false}, {20, {-19, 10}, true},  {20, {-24, 10}, false},
    };
    for (const auto& touch : touches) {
        button->setTapTargetExtension(touch.extension);
        const int before = tapped;
        test::tap(button, touch.point);
        EXPECT_EQ(tapped - before, touch.takes ? 1 : 0)
            << "extension " << touch.extension << " at " << touch.point.x() << ", " << touch.point.y();
    }
}

TEST_F(FormTest, ScreenshotsOfTheCheckBoxesAndToggles) {
    addCheckBox(QStringLiteral("Send me news and offers"), 60);
    CheckmarkButton* ticked =
        addCheckBox(QStringLiteral("I accept the terms of use and the privacy policy"), 112);
    test::tap(ticked, ticked->imageView()->frame().center());
    CheckmarkButton* refused = addCheckBox(QStringLiteral("I accept the terms of use"), 164);
    refused->setShowError(true);
    for (int i = 0; i < 2; ++i) {
        auto* toggle = new ToggleButton();
        toggle->titleLabel()->setFont(tovrinFont(QStringLiteral("DINOT"), 16));
        toggle->setTitle(i == 0 ? QStringLiteral("Save phrase") : QStringLiteral("Saved"));
        toggle->setTitleColor(tovrinOffWhiteColor());
        toggle->setNormalIcon(QStringLiteral("fa-star-o"));
        toggle->setSelectedIcon(QStringLiteral("fa-star"));
        toggle->setImageColor(tovrinGoldenRodColor());
        toggle->setSelected(i == 1);
        toggle->setFrame(QRectF(16, 230 + 52 * i, 288, 44));
        form->addSubview(toggle);
    }
    form->layoutIfNeeded();
    EXPECT_TRUE(ticked->isSelected());
    test::saveScreenshot(&window, QStringLiteral("CheckmarkButton-and-ToggleButton"));
}

}  // namespace
}  // namespace tovrin
