#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>

#include "Categories/UI/AttributedString+Tovrin.h"
#include "Categories/UI/Color+Tovrin.h"
#include "Categories/UI/Font+Tovrin.h"
#include "Categories/UI/NavigationController+Styles.h"
#include "UserInterface/IconLabel.h"
#include "UserInterface/TovrinLabel.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/input/Keyboard.h"
#include "platform/ui/scrolling/CollectionView.h"
#include "platform/ui/scrolling/CollectionViewFlowLayout.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin {
namespace {

class Tile : public ui::CollectionViewCell {
public:
    Tile() : name(new TovrinLabel(contentView())), mark(new IconLabel(contentView())) {
        name->setFont(tovrinFont(QStringLiteral("DINOT-Medium"), 16));
        name->setTextColor(tovrinOffWhiteColor());
        mark->setFont(tovrinFont(QStringLiteral("DINOT"), 14));
        mark->setIcon(QStringLiteral("fa-star"));
        mark->setTextColor(tovrinGoldenRodColor());
    }
    TovrinLabel* name;
    IconLabel* mark;

protected:
    void layoutSubviews() override {
        CollectionViewCell::layoutSubviews();
        name->setFrame(QRectF(8, bounds().height() - 28, bounds().width() - 16, 22));
        mark->setFrame(QRectF(bounds().width() - 24, 6, 18, 18));
    }
};

// A grid of member tiles under the account bar, with a message field above the keyboard.
class Grid : public ui::ViewController, public ui::CollectionViewDataSource {
public:
    ui::TextField* field = nullptr;

    int numberOfItemsInSection(ui::CollectionView&, int) override { return 30; }
    ui::CollectionViewCell* cellForItemAtIndexPath(ui::CollectionView& view,
                                                   const ui::IndexPath& path) override {
        auto* tile = view.dequeueReusableCell<Tile>(QStringLiteral("tile"), path);
        static const QStringList names = {"Alex", "Sam", "Jordan", "Robin", "Casey", "Morgan"};
        tile->name->setText(names[path.item % names.size()] + QStringLiteral(", %1").arg(20 + path.item));
        const QColor colors[] = {tovrinDefaultImageBackgroundColor(), tovrinGrayBlack3Color(),
                                 tovrinDarkBarColor()};
        tile->setBackgroundColor(colors[path.item % 3]);
        tile->mark->setHidden(path.item % 4 != 0);
        return tile;
    }

protected:
    void loadView() override {
        auto* root = new ui::View();
        root->setBackgroundColor(tovrinGrayBlack1Color());
        auto layout = std::make_shared<ui::CollectionViewFlowLayout>();
        layout->setItemSize(QSizeF(124, 124));
        layout->setMinimumInteritemSpacing(1);
        layout->setMinimumLineSpacing(1);
        grid_ = new ui::CollectionView(layout, root);
        grid_->setBackgroundColor(tovrinGrayBlack1Color());
        grid_->registerCell(QStringLiteral("tile"), [] { return new Tile(); });
        field = new ui::TextField(root);
        field->setBackgroundColor(tovrinGrayBlack2Color());
        field->setTextColor(tovrinOffWhiteColor());
        field->setFont(tovrinFont(QStringLiteral("DIN OT"), 16));
        field->setAttributedPlaceholder(tvr_attributedPlaceholder(QStringLiteral("Say hello")));
        field->setAccessibilityIdentifier(QStringLiteral("Message"));
        setView(root);
    }
    void viewDidLoad() override { grid_->setDataSource(sharedSelf<Grid>()); }

public:
    void viewDidLayoutSubviews() override {
        const QRectF area = view()->bounds();
        grid_->setFrame(QRectF(0, 0, area.width(), area.height() - 44));
        field->setFrame(QRectF(0, area.height() - 44, area.width(), 44));
    }

private:
    ui::CollectionView* grid_ = nullptr;
};

TEST(ComposedScreen, RendersTheBarTheTilesAndTheFieldAboveTheKeyboardToAPicture) {
    ui::ImmediateAnimations immediate;
    ui::Window window(nullptr);
    window.setTintColor(tovrinGoldenRodColor());
    auto navigation = tvr_accountNavigationController();
    auto grid = std::make_shared<Grid>();
    grid->setTitle(QStringLiteral("Nearby"));
    navigation->setViewControllers({grid});
    window.setRootViewController(navigation);
    window.show();
    test::drainAnimations();
    ASSERT_TRUE(test::showKeyboard(grid->field));
    // The field moves up onto the keyboard, as a screen following the keyboard would.
    const QRectF keyboard = window.keyboard().frame();
    grid->field->setFrame(
        QRectF(0, grid->field->superview()->convertPointFrom(keyboard.topLeft(), nullptr).y() - 44, 375, 44));
    test::typeText(QStringLiteral("Hi there"));
    window.layoutIfNeeded();

    const QString path = test::saveScreenshot(&window, QStringLiteral("composed-screen"));
    ASSERT_TRUE(QFileInfo::exists(path));
    const QImage picture(path);
    ASSERT_FALSE(picture.isNull());
    const double scale = picture.width() / 375.0;
    // The bar's dark grey at the top, the keys' light grey at the bottom.
    EXPECT_EQ(QColor(picture.pixel(int(5 * scale), int(40 * scale))).rgb(), tovrinGrayBlack2Color().rgb());
    EXPECT_EQ(QColor(picture.pixel(int(2 * scale), int(660 * scale))), QColor(209, 212, 217));
}

}  // namespace
}  // namespace tovrin
