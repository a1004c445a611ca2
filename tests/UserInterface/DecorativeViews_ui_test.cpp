#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <map>

#include "Categories/UI/Color+Tovrin.h"
#include "Categories/UI/Font+Tovrin.h"
#include "Categories/UI/Image+Tovrin.h"
#include "UserInterface/BannerView.h"
#include "UserInterface/CollapseWhenHiddenView.h"
#include "UserInterface/GradientView.h"
#include "UserInterface/HairlineView.h"
#include "UserInterface/KeyboardAccessoryView.h"
#include "UserInterface/ModeratedImageView.h"
#include "UserInterface/MultiSelectViewController.h"
#include "UserInterface/Nibs.h"
#include "UserInterface/VisuallySeparableView.h"
#include "platform/system/Screen.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/ViewController.h"
#include "platform/ui/input/SwipeGestureRecognizer.h"
#include "platform/ui/text/Label.h"
#include "platform/ui/views/LayoutConstraint.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin {
namespace {

// Rows top to bottom, as a profile lays out its attribute rows: a row's own height unless it
// reports one of its own (a collapsed row reports zero).
class RowStack : public ui::View {
public:
    std::map<const ui::View*, double> rowHeights;

    void addRow(ui::View* row, double height) {
        rowHeights[row] = height;
        addSubview(row);
    }

protected:
    void layoutSubviews() override {
        double top = 0;
        for (ui::View* row : subviews()) {
            const double intrinsic = row->intrinsicContentSize().height();
            const double height = intrinsic >= 0 ? intrinsic : rowHeights[row];
            row->setFrame(QRectF(0, top, bounds().width(), height));
            top += height;
        }
    }
};

VisuallySeparableView* attributeRow(const QString& name, const QString& value) {
    auto* row = new VisuallySeparableView();
    auto* title = new ui::Label(row);
    title->setText(name);
    title->setFont(tovrinFont(QStringLiteral("DINOT-Medium"), 14));
    title->setTextColor(tovrinGray3Color());
    title->setFrame(QRectF(10, 0, 120, 44));
    auto* shown = new ui::Label(row);
    shown->setText(value);
    shown->setFont(tovrinFont(QStringLiteral("DIN OT"), 16));
    shown->setTextColor(tovrinOffWhiteColor());
    shown->setFrame(QRectF(130, 0, 170, 44));
    return row;
}

// A stand-in for a member's photo: warm light from the top left over a cool background.
ui::Image drawnPhoto(double edge) {
    const int pixels = int(edge);
    QImage image{pixels, pixels, QImage::Format_ARGB32_Premultiplied};
    QPainter painter(&image);
    QRadialGradient light(QPointF(edge * 0.3, edge * 0.3), edge);
    light.setColorAt(0, QColor(240, 190, 150));
    light.setColorAt(1, QColor(40, 70, 110));
    painter.fillRect(image.rect(), light);
    painter.setBrush(QColor(90, 60, 50));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(edge / 2, edge * 0.42), edge * 0.18, edge * 0.22);
    painter.drawRoundedRect(QRectF(edge * 0.22, edge * 0.7, edge * 0.56, edge * 0.4), edge * 0.2, edge * 0.2);
    return ui::Image(image);
}

// The view painted into an image at the screen's scale.
QImage painted(QWidget* view, double scale) {
    QImage image((QSizeF(view->size()) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    view->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

TEST(CollapseWhenHiddenView, HidingTwiceKeepsOneZeroHeightConstraintAndShowingOnceRestoresTheHeight) {
    ui::ImmediateAnimations immediate;
    RowStack stack;
    auto* first = new CollapseWhenHiddenView();
    auto* below = new CollapseWhenHiddenView();
    stack.addRow(first, 50);
    stack.addRow(below, 30);
    stack.setFrame(QRectF(0, 0, 320, 200));
    stack.show();
    stack.layoutIfNeeded();
    EXPECT_EQ(first->specialHeightConstraint(), nullptr);
    EXPECT_EQ(below->frame().top(), 50);

    first->setHidden(true);
    const auto constraint = first->specialHeightConstraint();
    ASSERT_NE(constraint, nullptr);
    EXPECT_EQ(constraint->constant(), 0);
    first->setHidden(true);
    EXPECT_EQ(first->specialHeightConstraint(), constraint);
    EXPECT_EQ(first->intrinsicContentSize(), QSizeF(0, 0));
    stack.layoutIfNeeded();
    EXPECT_EQ(first->frame().height(), 0);
    EXPECT_EQ(below->frame().top(), 0);

    first->setHidden(false);
    EXPECT_EQ(first->specialHeightConstraint(), nullptr);
    EXPECT_EQ(first->intrinsicContentSize(), QSizeF(-1, -1));
    stack.layoutIfNeeded();
    EXPECT_EQ(first->frame().height(), 50);
    EXPECT_EQ(below->frame().top(), 50);
}

TEST(VisuallySeparableView, AHiddenRowTakesNoHeightAndItsSeparatorGoesWithIt) {
    ui::ImmediateAnimations immediate;
    ui::Window window(nullptr);
    auto* stack = new RowStack();
    auto* age = attributeRow(QStringLiteral("Age"), QStringLiteral("29"));
    auto* height = attributeRow(QStringLiteral("Height"), QStringLiteral("180 cm"));
    auto* weight = attributeRow(QStringLiteral("Weight"), QStringLiteral("75 kg"));
    for (auto* row : {age, height, weight}) stack->addRow(row, 44);
    stack->setFrame(QRectF(0, 100, 375, 200));
    window.addSubview(stack);
    window.makeKeyAndVisible();
    stack->layoutIfNeeded();
    for (auto* row : {age, height, weight}) row->layoutIfNeeded();

    EXPECT_TRUE(height->showSeparator());
    const double pixel = 1.0 / tovrin::Screen::main()->scale();
    EXPECT_EQ(height->hairlineView()->frame(), QRectF(-10, 44 - pixel, 395, pixel));
    EXPECT_EQ(height->hairlineView()->tintColor(), QColor::fromRgbF(1, 1, 1, 0.5));
    EXPECT_EQ(weight->frame().top(), 88);

    height->setHidden(true);
    stack->layoutIfNeeded();
    EXPECT_EQ(weight->frame().top(), 44);
    EXPECT_FALSE(height->hairlineView()->isVisible());

    height->setHidden(false);
    stack->layoutIfNeeded();
    EXPECT_EQ(weight->frame().top(), 88);
    EXPECT_TRUE(height->hairlineView()->isVisible());

    weight->setShowSeparator(false);
    EXPECT_FALSE(weight->showSeparator());
    EXPECT_TRUE(weight->hairlineView()->isHidden());
    weight->setShowSeparator(true);
    EXPECT_TRUE(weight->showSeparator());
}

TEST(HairlineView, IsOneDevicePixelHighAndStrokesOnePixelRowAtTheTop) {
    struct Case {
        double scale;
        double height;
    };
    for (const Case& each : {Case{1, 1}, Case{2, 0.5}, Case{3, 1.0 / 3}}) {
        HairlineView line(std::make_shared<tovrin::Screen>(QRectF(0, 0, 320, 568), each.scale));
        line.setTintColor(Qt::red);
        EXPECT_EQ(line.intrinsicContentSize(), QSizeF(0, each.height)) << each.scale;
        line.setFrame(QRectF(0, 0, 20, 2));
        const QImage image = painted(&line, each.scale);
        EXPECT_EQ(image.pixelColor(5, 0), QColor(Qt::red)) << each.scale;
        EXPECT_EQ(image.pixelColor(5, 1).alpha(), 0) << each.scale << ": the line is one pixel thick";
        EXPECT_EQ(image.pixelColor(image.width() - 1, 0), QColor(Qt::red)) << "it runs the whole width";
    }
}

struct SwipeListener : BannerViewDelegate {
    std::vector<BannerView*> swiped;
    void didSwipeToDismissBannerView(BannerView& banner) override { swiped.push_back(&banner); }
};

TEST(BannerView, AnUpwardSwipeTellsItsDelegateAndOtherMovesDoNot) {
    ui::ImmediateAnimations immediate;
    ui::Window window(nullptr);
    auto* banner = new BannerView();
    banner->setBackgroundColor(tovrinGoldenRodColor());
    banner->setFrame(QRectF(0, 20, 375, 64));
    window.addSubview(banner);
    window.makeKeyAndVisible();
    auto listener = std::make_shared<SwipeListener>();
    banner->setDelegate(listener);
    int actions = 0;
    banner->setActionBlock([&actions] { ++actions; });
    EXPECT_EQ(banner->swipeGestureRecognizer()->direction(), ui::SwipeGestureRecognizer::Up);

    test::drag(banner, QPointF(180, 20), QPointF(180, 60), 6);  // downward
    test::drag(banner, QPointF(100, 32), QPointF(300, 32), 6);  // sideways
    test::tap(banner);
    EXPECT_TRUE(listener->swiped.empty());

    test::drag(banner, QPointF(180, 60), QPointF(180, -15), 6);
    ASSERT_EQ(listener->swiped.size(), 1u);
    EXPECT_EQ(listener->swiped[0], banner);
    EXPECT_EQ(actions, 0) << "the action is the root container's to run";
    banner->actionBlock()();
    EXPECT_EQ(actions, 1);

    // Held weakly: a delegate that went is not told.
    listener.reset();
    test::drag(banner, QPointF(180, 60), QPointF(180, -15), 6);
    EXPECT_EQ(banner->delegate(), nullptr);
}

TEST(GradientView, TakesItsColoursInOrderAndPaintsFromTheFirstAtTheTopToTheLastAtTheBottom) {
    GradientView gradient;
    const std::vector<QColor> colors{QColor(Qt::black), QColor(0, 0, 0, 0), QColor(Qt::white)};
    gradient.setColors(colors);
    EXPECT_EQ(gradient.colors(), colors);
    EXPECT_EQ(gradient.gradientLayer().colors(), colors);
    gradient.setFrame(QRectF(0, 0, 40, 101));
    const QImage image = painted(&gradient, 1);
    EXPECT_EQ(image.pixelColor(20, 0).rgb(), QColor(Qt::black).rgb());
    EXPECT_LT(image.pixelColor(20, 50).alpha(), 10);
    EXPECT_EQ(image.pixelColor(20, 100).rgb(), QColor(Qt::white).rgb());

    gradient.setColors({});
    EXPECT_TRUE(gradient.colors().empty());
}

class WidthScreen : public ui::ViewController {
protected:
    void loadView() override { setView(new ui::View()); }
};

TEST(ModeratedImageView, LoadsTheOverlayNibItsSizeNamesAndShowsItOnlyWhilePending) {
    for (const bool small : {false, true}) {
        ui::View superview;
        superview.setFrame(QRectF(0, 0, 375, 400));
        auto* image = new ModeratedImageView();
        image->setFrame(QRectF(0, 0, 100, 100));
        image->setSmall(small);
        superview.addSubview(image);
        image->awakeFromNib();
        const QString expected = small ? QStringLiteral("ModeratedImageViewOverlaySmall")
                                       : QStringLiteral("ModeratedImageViewOverlay");
        EXPECT_EQ(image->nibName(), expected);
        ASSERT_NE(image->overlayView(), nullptr);
        EXPECT_EQ(image->overlayView()->accessibilityIdentifier(), expected);
        EXPECT_EQ(image->overlayView()->superview(), image);
        ASSERT_NE(image->centeredView(), nullptr);
        EXPECT_TRUE(image->centeredView()->isDescendantOf(image->overlayView()));
        EXPECT_FALSE(image->isPendingApproval());
        EXPECT_TRUE(image->overlayView()->isHidden()) << qPrintable(expected);

        image->setIsPendingApproval(true);
        EXPECT_FALSE(image->overlayView()->isHidden()) << qPrintable(expected);
        image->setIsPendingApproval(false);
        EXPECT_TRUE(image->overlayView()->isHidden()) << qPrintable(expected);
    }
}

TEST(ModeratedImageView, TheOverlayCoversAnOffsetImageAndFollowsItsSizeWithTheMarkSizedByTheScreen) {
    ui::ImmediateAnimations immediate;
    ui::Window window(nullptr);
    auto screen = std::make_shared<WidthScreen>();
    window.setRootViewController(screen);
    window.makeKeyAndVisible();
    auto* image = new ModeratedImageView();
    image->setFrame(QRectF(30, 50, 200, 150));
    image->setEmbeddedInViewControllerForWidthConstraint(screen);
    screen->view()->addSubview(image);
    image->awakeFromNib();
    image->setIsPendingApproval(true);
    window.layoutIfNeeded();

    auto covered = [&] { return image->overlayView()->convertRect(image->overlayView()->bounds(), image); };
    EXPECT_EQ(covered(), QRectF(0, 0, 200, 150));
    EXPECT_EQ(image->overlayView()->convertRect(image->overlayView()->bounds(), nullptr),
              image->convertRect(image->bounds(), nullptr));
    EXPECT_DOUBLE_EQ(image->centeredView()->frame().width(), 0.285 * 375);
    EXPECT_DOUBLE_EQ(image->centeredView()->frame().center().x(), 100);

    image->setFrame(QRectF(40, 60, 120, 240));
    window.layoutIfNeeded();
    EXPECT_EQ(covered(), QRectF(0, 0, 120, 240));
    EXPECT_DOUBLE_EQ(image->centeredView()->frame().center().x(), 60);

    // The mark follows the screen's width, not the image's.
    screen->view()->setFrame(QRectF(0, 0, 320, 667));
    window.layoutIfNeeded();
    image->overlayView()->layoutIfNeeded();
    EXPECT_DOUBLE_EQ(image->centeredView()->frame().width(), 0.285 * 320);
}

TEST(KitNibs, EachNibBuildsItsViewAndItsPrototypeCellShowsAHairline) {
    EXPECT_NE(
        qobject_cast<KeyboardAccessoryView*>(loadNibNamed(QStringLiteral("KeyboardAccessoryView")).front()),
        nullptr);
    auto cells = loadNibNamed(QStringLiteral("ItemCell"));
    ASSERT_EQ(cells.size(), 1u);
    auto* cell = qobject_cast<ItemCell*>(cells.front());
    ASSERT_NE(cell, nullptr);
    EXPECT_TRUE(cell->showsBottomSeparator());
    EXPECT_NE(cell->separatorView(), nullptr);
    for (auto* view : cells) delete view;
    // An overlay built without an owner is simply the overlay.
    for (const QString& name :
         {QStringLiteral("ModeratedImageViewOverlay"), QStringLiteral("ModeratedImageViewOverlaySmall")}) {
        auto overlays = loadNibNamed(name);
        ASSERT_EQ(overlays.size(), 1u);
        EXPECT_EQ(overlays.front()->accessibilityIdentifier(), name);
        delete overlays.front();
    }
}

// The main screen of the narrowest phone while it lives; windows made meanwhile take its size.
class NarrowestPhone {
public:
    NarrowestPhone() : saved_(tovrin::Screen::main()->bounds()) {
        tovrin::Screen::main()->setBounds(QRectF(0, 0, 320, 568));
    }
    ~NarrowestPhone() { tovrin::Screen::main()->setBounds(saved_); }

private:
    QRectF saved_;
};

TEST(DecorativeViews, RenderTogetherOnTheNarrowestPhone) {
    ui::ImmediateAnimations immediate;
    NarrowestPhone phone;
    ui::Window window(nullptr);
    auto screen = std::make_shared<WidthScreen>();
    window.setRootViewController(screen);
    window.makeKeyAndVisible();
    window.layoutIfNeeded();
    ui::View* root = screen->view();
    root->setBackgroundColor(tovrinGrayBlack1Color());

    auto* banner = new BannerView();
    banner->setBackgroundColor(tovrinGoldenRodColor());
    auto* message = new ui::Label(banner);
    message->setText(QStringLiteral("You are offline"));
    message->setFont(tovrinFont(QStringLiteral("DINOT-Medium"), 15));
    message->setTextColor(tovrinOffBlackColor());
    message->setTextAlignment(Qt::AlignCenter);
    message->setFrame(QRectF(0, 20, 320, 30));
    banner->setFrame(QRectF(0, 0, 320, 60));
    root->addSubview(banner);

    auto* gradient = new GradientView();
    gradient->setColors({tovrinGrayBlack1Color(), QColor(0, 0, 0, 0), tovrinGrayBlack2Color()});
    gradient->setFrame(QRectF(0, 60, 210, 220));
    root->addSubview(gradient);
    auto* photo = new ModeratedImageView();
    photo->setImage(drawnPhoto(180));
    photo->setFrame(QRectF(20, 20, 180, 180));
    photo->setEmbeddedInViewControllerForWidthConstraint(screen);
    gradient->addSubview(photo);
    photo->awakeFromNib();
    photo->setIsPendingApproval(true);
    auto* tile = new ModeratedImageView();
    tile->setImage(drawnPhoto(80));
    tile->setFrame(QRectF(220, 80, 80, 80));
    tile->setSmall(true);
    root->addSubview(tile);
    tile->awakeFromNib();
    tile->setIsPendingApproval(true);
    auto* corners = new ui::ImageView(tvr_cascadeMaskImage());
    corners->setTintColor(tovrinGrayBlack1Color());
    corners->setFrame(QRectF(0, 0, 80, 80));
    tile->addSubview(corners);

    auto* stack = new RowStack();
    stack->setFrame(QRectF(10, 300, 300, 180));
    stack->addRow(attributeRow(QStringLiteral("Age"), QStringLiteral("29")), 44);
    auto* hiddenRow = attributeRow(QStringLiteral("Height"), QStringLiteral("180 cm"));
    stack->addRow(hiddenRow, 44);
    auto* weightRow = attributeRow(QStringLiteral("Weight"), QStringLiteral("75 kg"));
    stack->addRow(weightRow, 44);
    auto* last = attributeRow(QStringLiteral("Ethnicity"), QStringLiteral("Mixed"));
    last->setShowSeparator(false);
    stack->addRow(last, 44);
    hiddenRow->setHidden(true);
    root->addSubview(stack);

    auto* line = new HairlineView();
    line->setTintColor(tovrinGoldenRodColor());
    line->setFrame(QRectF(10, 500, 300, line->intrinsicContentSize().height()));
    root->addSubview(line);
    window.layoutIfNeeded();
    test::drainMainQueue();
    window.layoutIfNeeded();

    EXPECT_EQ(window.frame().size(), QSizeF(320, 568));
    const QImage picture(test::saveScreenshot(&window, QStringLiteral("decorative-views")));
    ASSERT_FALSE(picture.isNull());
    const double scale = picture.width() / 320.0;
    auto at = [&](double x, double y) { return picture.pixelColor(int(x * scale), int(y * scale)); };
    EXPECT_EQ(at(2, 2).rgb(), tovrinGoldenRodColor().rgb());
    EXPECT_EQ(weightRow->frame().top(), 44) << "no gap where the hidden row was";
}

}  // namespace
}  // namespace tovrin
