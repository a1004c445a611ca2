#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPainter>
#include <QTranslator>

#include "AppModule.h"
#include "Categories/UI/Color+Tovrin.h"
#include "Categories/UI/NavigationController+Styles.h"
#include "UserInterface/ImageViewController.h"
#include "UserInterface/SwipeableImageViewController.h"
#include "platform/di/Injector.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/NavigationBar.h"
#include "platform/ui/controllers/NavigationController.h"
#include "platform/ui/controllers/NavigationItem.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin {
namespace {

// A landscape photo of one hue with a lighter disc, so that each page shows which one it is.
ui::Image photo(int hue) {
    QImage image(400, 300, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor::fromHsv(hue, 160, 150));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromHsv(hue, 60, 240));
    painter.drawEllipse(QPointF(200, 150), 90, 90);
    return ui::Image(image);
}

std::vector<ui::Image> photos(int count) {
    std::vector<ui::Image> list;
    for (int index = 0; index < count; ++index) list.push_back(photo(index * 360 / count));
    return list;
}

// The unzoomed content point at the middle of what the scroll view shows.
QPointF visibleCentre(const ui::ScrollView& scrollView) {
    const QSizeF size = scrollView.bounds().size();
    return (scrollView.contentOffset() + QPointF(size.width() / 2, size.height() / 2)) /
           scrollView.zoomScale();
}

class ImagePagerTest : public testing::Test {
protected:
    test::TemporaryHome home;
    Injector injector;
    ui::ImmediateAnimations immediate;
    ui::Window window{nullptr};
    std::shared_ptr<ui::NavigationController> navigation = tvr_accountNavigationController();
    std::shared_ptr<SwipeableImageViewController> pager;
    std::vector<ui::Image> images;

    void SetUp() override {
        AppModule().configure(injector);
        // As the application's window and root navigation are.
        window.setTintColor(tovrinGoldenRodColor());
        navigation->setViewControllers({std::make_shared<ui::ViewController>()});
        window.setRootViewController(navigation);
        window.show();
    }
    // As the router opens it.
    void open(int count, std::size_t startingIndex) {
        images = photos(count);
        pager = injector.get<SwipeableImageViewController>();
        pager->setupWithImages(images, startingIndex);
        navigation->pushViewController(pager, true);
        test::drainAnimations();
        pager->view()->layoutIfNeeded();
    }
    ui::View* pages() { return pager->pageViewController()->view(); }
    std::shared_ptr<ImageViewController> shownPage() {
        const auto shown = pager->pageViewController()->viewControllers();
        return shown.empty() ? nullptr : std::dynamic_pointer_cast<ImageViewController>(shown.front());
    }
    QString title() { return pager->navigationItem().title(); }
    void expectShowing(std::size_t index, const QString& expectedTitle) {
        auto page = shownPage();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->itemIndex(), index);
        EXPECT_TRUE(page->imageView()->image() == images[index]) << index;
        EXPECT_EQ(title(), expectedTitle);
        EXPECT_EQ(navigation->navigationBar()->titleLabel()->text(), expectedTitle);
    }
    void swipe(test::Direction direction) {
        test::swipe(pages(), direction);
        test::drainAnimations();
    }
    // An unhurried drag a fifth of the way towards the next page, which springs back.
    void dragTowardsNextAndLetGo() {
        test::drag(pages(), QPointF(250, 300), QPointF(175, 300), 40);
        test::drainAnimations();
    }
};

TEST_F(ImagePagerTest, OneImageShowsOnePageTitledOneOfOneWithNoNeighbours) {
    open(1, 0);
    expectShowing(0, QStringLiteral("1 of 1"));
    auto page = shownPage();
    EXPECT_EQ(pager->viewControllerBefore(*pager->pageViewController(), *page), nullptr);
    EXPECT_EQ(pager->viewControllerAfter(*pager->pageViewController(), *page), nullptr);
    for (auto direction : {test::Direction::Left, test::Direction::Right}) {
        swipe(direction);
        EXPECT_EQ(shownPage(), page);
        EXPECT_EQ(page->view()->frame(), pages()->bounds());
        EXPECT_EQ(title(), QStringLiteral("1 of 1"));
    }
}

TEST_F(ImagePagerTest, ACompletedSwipeMovesTheTitleAndOneThatSpringsBackLeavesIt) {
    open(5, 2);
    expectShowing(2, QStringLiteral("3 of 5"));
    test::saveScreenshot(&window, QStringLiteral("SwipeableImageViewController"));

    dragTowardsNextAndLetGo();
    expectShowing(2, QStringLiteral("3 of 5"));
    EXPECT_EQ(shownPage()->view()->frame(), pages()->bounds());

    swipe(test::Direction::Left);
    expectShowing(3, QStringLiteral("4 of 5"));
    EXPECT_EQ(shownPage()->view()->frame(), pages()->bounds());

    swipe(test::Direction::Right);
    swipe(test::Direction::Right);
    expectShowing(1, QStringLiteral("2 of 5"));
}

TEST_F(ImagePagerTest, NoPageComesBeforeTheFirstOrAfterTheLast) {
    struct Case {
        std::size_t start;
        test::Direction past;
        QString title;
    };
    for (const auto& each : {Case{0, test::Direction::Right, QStringLiteral("1 of 4")},
                             Case{3, test::Direction::Left, QStringLiteral("4 of 4")}}) {
        SCOPED_TRACE(each.start);
        open(4, each.start);
        auto page = shownPage();
        swipe(each.past);
        EXPECT_EQ(shownPage(), page);
        expectShowing(each.start, each.title);
        auto& pageView = *pager->pageViewController();
        EXPECT_EQ(each.start == 0 ? pager->viewControllerBefore(pageView, *page)
                                  : pager->viewControllerAfter(pageView, *page),
                  nullptr);
        navigation->popToRootViewControllerAnimated(false);
        test::drainAnimations();
    }
}

TEST_F(ImagePagerTest, NeighboursAreNewPagesAtEachRequest) {
    open(3, 1);
    auto page = shownPage();
    auto& pageView = *pager->pageViewController();
    auto after = std::dynamic_pointer_cast<ImageViewController>(pager->viewControllerAfter(pageView, *page));
    auto before =
        std::dynamic_pointer_cast<ImageViewController>(pager->viewControllerBefore(pageView, *page));
    ASSERT_NE(after, nullptr);
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(after->itemIndex(), 2u);
    EXPECT_TRUE(after->image() == images[2]);
    EXPECT_EQ(before->itemIndex(), 0u);
    EXPECT_TRUE(before->image() == images[0]);
    EXPECT_NE(pager->viewControllerAfter(pageView, *page), after);
}

TEST_F(ImagePagerTest, ADoubleTapZoomsAllTheWayInAroundTheTapAndTheNextAllTheWayOut) {
    open(1, 0);
    ui::ScrollView* scroll = shownPage()->scrollView();
    test::doubleTap(scroll, QPointF(100, 200));
    test::drainAnimations();
    EXPECT_DOUBLE_EQ(scroll->zoomScale(), 5);
    EXPECT_EQ(visibleCentre(*scroll), QPointF(100, 200));
    EXPECT_EQ(shownPage()->imageView()->frame().size(), scroll->contentSize());

    test::doubleTap(scroll, QPointF(100, 200));
    test::drainAnimations();
    EXPECT_DOUBLE_EQ(scroll->zoomScale(), 1);
    EXPECT_EQ(scroll->contentOffset(), QPointF(0, 0));
    EXPECT_EQ(shownPage()->imageView()->frame(), QRectF(QPointF(0, 0), scroll->bounds().size()));
}

TEST_F(ImagePagerTest, ADoubleTapAfterAPinchZoomsToTheMaximumAtTheTappedSpot) {
    open(2, 0);
    ui::ScrollView* scroll = shownPage()->scrollView();
    const QPointF middle = QRectF(QPointF(0, 0), scroll->bounds().size()).center().toPoint();
    test::pinch(scroll, middle, 40, 100);
    test::drainAnimations();
    ASSERT_DOUBLE_EQ(scroll->zoomScale(), 2.5);
    EXPECT_EQ(title(), QStringLiteral("1 of 2"));  // pinching is not swiping

    const QPointF tapped(120, 150);
    const QPointF inContent = (tapped + scroll->contentOffset()) / 2.5;
    test::doubleTap(scroll, tapped);
    test::drainAnimations();
    EXPECT_DOUBLE_EQ(scroll->zoomScale(), 5);
    EXPECT_EQ(visibleCentre(*scroll), inContent);
}

TEST_F(ImagePagerTest, ASwipeOnAZoomedPhotoMovesThePhotoNotThePages) {
    open(3, 1);
    auto page = shownPage();
    ui::ScrollView* scroll = page->scrollView();
    test::doubleTap(scroll, QPointF(187, 300));
    test::drainAnimations();
    ASSERT_DOUBLE_EQ(scroll->zoomScale(), 5);
    const QPointF zoomedAt = scroll->contentOffset();
    swipe(test::Direction::Left);
    EXPECT_EQ(shownPage(), page);
    EXPECT_EQ(title(), QStringLiteral("2 of 3"));
    EXPECT_GT(scroll->contentOffset().x(), zoomedAt.x());
    EXPECT_EQ(page->view()->frame(), pages()->bounds());
}

TEST_F(ImagePagerTest, APageShowsTheImageItHadWhenItsViewLoaded) {
    const auto pictures = photos(2);
    auto page = injector.get<ImageViewController>();
    page->setImage(pictures[0]);
    ui::View* view = page->view();
    page->setImage(pictures[1]);
    auto* shown = test::find<ui::ImageView>(view, QStringLiteral("ImageIdentifier"));
    ASSERT_EQ(shown, page->imageView());
    EXPECT_TRUE(shown->image() == pictures[0]);
    EXPECT_EQ(shown->accessibilityLabel(), QStringLiteral("Image"));
    EXPECT_DOUBLE_EQ(page->scrollView()->minimumZoomScale(), 1);
    EXPECT_DOUBLE_EQ(page->scrollView()->maximumZoomScale(), 5);
}

TEST_F(ImagePagerTest, UnderAnotherLanguageTheTitleAndTheImageLabelStayEnglish) {
    // Brackets every text it is asked to translate.
    class PseudoTranslator : public QTranslator {
    public:
        bool isEmpty() const override { return false; }
        QString translate(const char* context, const char* source, const char*, int) const override {
            return QStringLiteral("[%1:%2]").arg(QLatin1String(context), QString::fromUtf8(source));
        }
    } translator;
    QCoreApplication::installTranslator(&translator);
    open(5, 2);
    QCoreApplication::removeTranslator(&translator);
    EXPECT_EQ(title(), QStringLiteral("3 of 5"));
    EXPECT_EQ(shownPage()->imageView()->accessibilityLabel(), QStringLiteral("Image"));
    EXPECT_EQ(pager->navigationItem().leftBarButtonItem()->accessibilityLabel(),
              QStringLiteral("[Localizable:Back]"));
}

TEST_F(ImagePagerTest, AnEmptyListOrAStartOutsideItStopsTheProcess) {
    pager = injector.get<SwipeableImageViewController>();
    EXPECT_DEATH(pager->setupWithImages({}, 0), "at least one image");
    EXPECT_DEATH(pager->setupWithImages(photos(2), 2), "starting index");
}

TEST_F(ImagePagerTest, TheBackButtonPopsThePagerWhichGoesWithItsPages) {
    open(3, 1);
    std::weak_ptr<SwipeableImageViewController> weakPager = pager;
    std::weak_ptr<ImageViewController> weakPage = shownPage();
    const auto buttons = navigation->navigationBar()->buttons();
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons.front()->accessibilityIdentifier(), QStringLiteral("Back"));
    pager.reset();
    test::tap(buttons.front());
    test::drainAnimations();
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    ASSERT_TRUE(test::runUntil([&] { return weakPager.expired() && weakPage.expired(); }));
}

}  // namespace
}  // namespace tovrin
