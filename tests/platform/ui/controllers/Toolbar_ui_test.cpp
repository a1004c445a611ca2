#include <gtest/gtest.h>

#include <QPainter>

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/BarButtonItem.h"
#include "platform/ui/controllers/Toolbar.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin::ui {
namespace {

// A 24-point arrow pointing left or right, or a circle, drawn in black for a template image.
Image glyph(int kind) {
    QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::black);
    painter.setPen(Qt::NoPen);
    if (kind == 0) painter.drawPolygon(QPolygonF({QPointF(16, 3), QPointF(6, 12), QPointF(16, 21)}));
    if (kind == 1) painter.drawPolygon(QPolygonF({QPointF(8, 3), QPointF(18, 12), QPointF(8, 21)}));
    if (kind == 2) painter.drawEllipse(QRectF(4, 4, 16, 16));
    if (kind == 3) painter.drawRect(QRectF(5, 5, 14, 14));
    return Image(image);
}

QColor colorAt(QWidget* widget, const QPointF& point) {
    const QImage shot = widget->grab().toImage();
    return shot.pixelColor((point * shot.devicePixelRatio()).toPoint());
}

class ToolbarTest : public testing::Test {
protected:
    ImmediateAnimations immediate;
    Window window{nullptr};
    Toolbar* toolbar = new Toolbar();
    QStringList tapped;

    void SetUp() override {
        toolbar->setFrame(QRectF(QPointF(0, 667 - Toolbar::Height), toolbar->sizeThatFits(QSizeF(375, 0))));
        window.addSubview(toolbar);
        window.show();
    }
    std::shared_ptr<BarButtonItem> button(const QString& name, int kind) {
        auto item = std::make_shared<BarButtonItem>(glyph(kind), BarButtonItem::Style::Plain,
                                                    [this, name] { tapped << name; });
        item->setAccessibilityLabel(name);
        return item;
    }
    std::vector<std::shared_ptr<BarButtonItem>> browserItems() {
        return {button(QStringLiteral("Back"), 0),    BarButtonItem::flexibleSpace(),
                button(QStringLiteral("Forward"), 1), BarButtonItem::flexibleSpace(),
                button(QStringLiteral("Reload"), 2),  BarButtonItem::flexibleSpace(),
                button(QStringLiteral("Open"), 3)};
    }
};

TEST_F(ToolbarTest, FlexibleSpacesSpreadTheButtonsEvenlyAndEachTapRunsItsItem) {
    EXPECT_EQ(toolbar->frame().size(), QSizeF(375, 44));
    EXPECT_EQ(toolbar->intrinsicContentSize().height(), Toolbar::Height);
    toolbar->setItems(browserItems());
    const auto buttons = toolbar->buttons();
    ASSERT_EQ(buttons.size(), 4u);
    EXPECT_DOUBLE_EQ(buttons.front()->frame().left(), 8);
    EXPECT_DOUBLE_EQ(buttons.back()->frame().right(), 375 - 8);
    const double gap = buttons[1]->frame().left() - buttons[0]->frame().right();
    EXPECT_GT(gap, 50);
    for (size_t index = 1; index < buttons.size(); ++index) {
        EXPECT_NEAR(buttons[index]->frame().left() - buttons[index - 1]->frame().right(), gap, 0.001);
        EXPECT_DOUBLE_EQ(buttons[index]->frame().center().y(), 22);
    }
    for (Button* each : buttons) test::tap(each);
    EXPECT_EQ(tapped, (QStringList{QStringLiteral("Back"), QStringLiteral("Forward"),
                                   QStringLiteral("Reload"), QStringLiteral("Open")}));
    window.setBackgroundColor(Qt::white);
    test::saveScreenshot(&window, QStringLiteral("Toolbar"));
}

TEST_F(ToolbarTest, FlexibleSpacesTakeEqualSharesOfTheWidthTheItemsLeave) {
    // Views of 30 points; "B" is one, "-" a flexible space. The bar is 375 wide with 8 at each end.
    struct Case {
        QString items;
        std::vector<double> lefts;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("B-B-B-B"), {8, 8 + 30 + 239.0 / 3, 8 + 2 * (30 + 239.0 / 3), 337}},
        {QStringLiteral("BBB"), {8, 46, 84}},
        {QStringLiteral("-B"), {337}},
        {QStringLiteral("B-"), {8}},
        {QStringLiteral("-B-"), {172.5}},
        {QStringLiteral("--B-B"), {8 + 2 * 299.0 / 3, 337}},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.items.toStdString());
        std::vector<std::shared_ptr<BarButtonItem>> items;
        std::vector<std::shared_ptr<View>> views;
        for (QChar kind : each.items) {
            if (kind == QLatin1Char('-')) {
                items.push_back(BarButtonItem::flexibleSpace());
                continue;
            }
            auto view = sharedWidget(new View());
            view->setFrame(QRectF(0, 0, 30, 30));
            views.push_back(view);
            items.push_back(std::make_shared<BarButtonItem>(view));
        }
        toolbar->setItems(items);
        ASSERT_EQ(views.size(), each.lefts.size());
        for (size_t index = 0; index < views.size(); ++index) {
            EXPECT_EQ(views[index]->superview(), toolbar);
            EXPECT_NEAR(views[index]->frame().left(), each.lefts[index], 0.001) << index;
            EXPECT_DOUBLE_EQ(views[index]->frame().top(), 7);
        }
        toolbar->setItems({});
        for (const auto& view : views) EXPECT_EQ(view->superview(), nullptr);
    }
}

TEST_F(ToolbarTest, TheBarTintFillsTheBarOpaqueOrLettingTheBackgroundThrough) {
    window.setBackgroundColor(Qt::black);
    toolbar->setBarTintColor(QColor(200, 0, 0));
    const QPointF middle(187, 667 - 22);
    toolbar->setTranslucent(false);
    EXPECT_FALSE(toolbar->isTranslucent());
    EXPECT_EQ(colorAt(&window, middle), QColor(200, 0, 0));
    toolbar->setTranslucent(true);
    const QColor seeThrough = colorAt(&window, middle);
    EXPECT_LT(seeThrough.red(), 200);
    EXPECT_GT(seeThrough.red(), 150);
}

TEST_F(ToolbarTest, AHiddenBarKeepsItsStripButShowsAndTakesNothing) {
    window.setBackgroundColor(Qt::white);
    toolbar->setTranslucent(false);
    toolbar->setBarTintColor(Qt::blue);
    toolbar->setItems(browserItems());
    Button* back = toolbar->buttons().front();
    toolbar->setHidden(true);
    EXPECT_EQ(toolbar->frame(), QRectF(0, 667 - 44, 375, 44));
    EXPECT_EQ(colorAt(&window, QPointF(187, 667 - 22)), QColor(Qt::white));
    test::tap(&window, back->convertPoint(back->bounds().center(), nullptr));
    EXPECT_TRUE(tapped.isEmpty());
    toolbar->setHidden(false);
    test::tap(back);
    EXPECT_EQ(tapped, QStringList{QStringLiteral("Back")});
}

TEST_F(ToolbarTest, ADisabledItemsButtonTakesNoTap) {
    auto items = browserItems();
    toolbar->setItems(items);
    items[0]->setEnabled(false);
    test::drainMainQueue();
    Button* back = toolbar->buttons().front();
    EXPECT_FALSE(back->isEnabled());
    test::tap(back);
    EXPECT_TRUE(tapped.isEmpty());
    items[0]->setEnabled(true);
    test::drainMainQueue();
    test::tap(toolbar->buttons().front());
    EXPECT_EQ(tapped, QStringList{QStringLiteral("Back")});
}

}  // namespace
}  // namespace tovrin::ui
