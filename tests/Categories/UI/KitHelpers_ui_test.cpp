#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <latch>
#include <thread>
#include <vector>

#include "Categories/UI/Image+Tovrin.h"
#include "Categories/UI/View+NibView.h"
#include "UserInterface/KeyboardAccessoryView.h"
#include "platform/system/Screen.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/views/View.h"

namespace tovrin {
namespace {

TEST(ImageFromColor, IsOnePointAtTheScreensScaleAndKeepsTheColoursAlpha) {
    for (const double scale : {1.0, 2.0, 3.0}) {
        const tovrin::Screen screen(QRectF(0, 0, 320, 568), scale);
        const QColor color(10, 20, 30, 128);
        const ui::Image image = tvr_imageFromColor(color, screen);
        EXPECT_EQ(image.size(), QSizeF(1, 1)) << scale;
        EXPECT_EQ(image.scale(), scale);
        EXPECT_EQ(image.image().size(), QSize(int(scale), int(scale)));
        EXPECT_TRUE(image.image().hasAlphaChannel());
        EXPECT_EQ(image.image().pixelColor(int(scale) - 1, int(scale) - 1).rgba(), color.rgba()) << scale;
    }
    EXPECT_EQ(tvr_imageFromColor(Qt::red).scale(), tovrin::Screen::main()->scale());
}

TEST(CascadeMaskImage, IsATemplateWithWhiteCornersAClearMiddleAndTwoPointCaps) {
    const ui::Image& mask = tvr_cascadeMaskImage();
    EXPECT_EQ(&mask, &tvr_cascadeMaskImage());
    EXPECT_EQ(mask.size(), QSizeF(5, 5));
    EXPECT_EQ(mask.renderingMode(), ui::Image::RenderingMode::AlwaysTemplate);
    EXPECT_EQ(mask.capInsets(), (ui::EdgeInsets{2, 2, 2, 2}));
    const QImage& pixels = mask.image();
    const int last = pixels.width() - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)}) {
        // Mostly outside the rounded rectangle: white, a little smoothed.
        const QColor color = pixels.pixelColor(corner);
        EXPECT_EQ(color.rgb(), QColor(Qt::white).rgb()) << corner.x() << "," << corner.y();
        EXPECT_GT(color.alpha(), 128) << corner.x() << "," << corner.y();
    }
    EXPECT_EQ(pixels.pixelColor(pixels.width() / 2, pixels.height() / 2).alpha(), 0);
    EXPECT_EQ(pixels.pixelColor(pixels.width() / 2, 0).alpha(), 0)
        << "the edges between the corners are clear";

    // Stretched over a cell, only the four corners take the tint.
    QImage cell(120, 120, QImage::Format_ARGB32_Premultiplied);
    cell.fill(Qt::transparent);
    QPainter painter(&cell);
    mask.draw(painter, QRectF(0, 0, 120, 120), Qt::blue);
    painter.end();
    for (const QPoint corner : {QPoint(0, 0), QPoint(119, 0), QPoint(0, 119), QPoint(119, 119)}) {
        EXPECT_EQ(cell.pixelColor(corner).rgb(), QColor(Qt::blue).rgb());
        EXPECT_GT(cell.pixelColor(corner).alpha(), 128);
    }
    EXPECT_EQ(cell.pixelColor(60, 60).alpha(), 0);
    EXPECT_EQ(cell.pixelColor(60, 0).alpha(), 0);
}

TEST(CascadeMaskImage, ThreadsRacingToTheFirstCallAllGetTheOneMask) {
    constexpr int threads = 8;
    std::vector<const ui::Image*> seen(threads, nullptr);
    std::latch start(threads);
    std::vector<std::thread> running;
    for (int index = 0; index < threads; ++index) {
        running.emplace_back([&, index] {
            start.arrive_and_wait();
            seen[index] = &tvr_cascadeMaskImage();
        });
    }
    for (auto& thread : running) thread.join();
    for (const ui::Image* each : seen) EXPECT_EQ(each, seen.front());
    EXPECT_EQ(seen.front(), &tvr_cascadeMaskImage());
    EXPECT_FALSE(seen.front()->isNull());
}

TEST(ConstrainViewToBoundsWithNibName, FillsTheViewWithTheNibsFirstViewAndFollowsItsSize) {
    ui::ImmediateAnimations immediate;
    ui::View container;
    container.setBackgroundColor(Qt::red);
    container.setFrame(QRectF(0, 0, 200, 44));
    container.show();
    ui::View* loaded = constrainViewToBoundsWithNibName(&container, QStringLiteral("KeyboardAccessoryView"));
    ASSERT_NE(qobject_cast<KeyboardAccessoryView*>(loaded), nullptr);
    EXPECT_EQ(loaded->superview(), &container);
    EXPECT_EQ(container.subviews().size(), 1u);
    EXPECT_EQ(container.backgroundColor().alpha(), 0);
    EXPECT_EQ(loaded->frame(), QRectF(0, 0, 200, 44));

    container.setFrame(QRectF(10, 20, 300, 60));
    EXPECT_EQ(loaded->frame(), QRectF(0, 0, 300, 60));
}

}  // namespace
}  // namespace tovrin
