#include <gtest/gtest.h>

#include "Categories/UI/ScrollView+Zoom.h"
#include "platform/ui/scrolling/ScrollView.h"

namespace tovrin {
namespace {

struct ZoomingView : ui::ScrollViewDelegate {
    ui::View* zoomed = nullptr;
    ui::View* viewForZooming(ui::ScrollView&) override { return zoomed; }
};

// The part of the unzoomed content the scroll view shows.
QRectF visibleContent(const ui::ScrollView& scrollView) {
    return QRectF(scrollView.contentOffset() / scrollView.zoomScale(),
                  scrollView.bounds().size() / scrollView.zoomScale());
}

TEST(ScrollViewZoom, ZoomsToTheMaximumCentredOnThePointOfTheVisibleArea) {
    struct Case {
        const char* name;
        double scale;
        QPointF offset;
        QPointF point;
        QRectF rect;     // a fifth of the 300 × 400 frame, centred on the point in unzoomed content
        QRectF visible;  // what shows afterwards: the rectangle, kept inside the content
    };
    const std::vector<Case> cases = {
        {"unzoomed", 1, {0, 0}, {150, 200}, {120, 160, 60, 80}, {120, 160, 60, 80}},
        {"zoomed and offset", 2, {100, 50}, {50, 70}, {45, 20, 60, 80}, {45, 20, 60, 80}},
        {"top left of a zoomed view", 2.5, {300, 400}, {0, 0}, {90, 120, 60, 80}, {90, 120, 60, 80}},
        {"already at the maximum", 5, {600, 900}, {150, 200}, {120, 180, 60, 80}, {120, 180, 60, 80}},
        {"near the content's corner", 1, {0, 0}, {10, 10}, {-20, -30, 60, 80}, {0, 0, 60, 80}},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        ui::ScrollView scrollView;
        scrollView.setFrame(QRectF(0, 0, 300, 400));
        auto zooming = std::make_shared<ZoomingView>();
        zooming->zoomed = new ui::View();
        zooming->zoomed->setFrame(QRectF(0, 0, 300, 400));
        scrollView.addSubview(zooming->zoomed);
        scrollView.setContentSize(QSizeF(300, 400));
        scrollView.setDelegate(zooming);
        scrollView.setMaximumZoomScale(5);
        scrollView.setZoomScale(each.scale);
        scrollView.setContentOffset(each.offset);
        ASSERT_EQ(scrollView.contentOffset(), each.offset);

        EXPECT_EQ(maxZoomRectForPoint(scrollView, each.point), each.rect);
        maxZoomToPoint(scrollView, each.point, false);
        EXPECT_DOUBLE_EQ(scrollView.zoomScale(), 5);
        EXPECT_EQ(visibleContent(scrollView), each.visible);
    }
}

}  // namespace
}  // namespace tovrin
