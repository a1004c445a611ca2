#include "Categories/UI/ScrollView+Zoom.h"

#include "platform/ui/scrolling/ScrollView.h"

namespace tovrin {

QRectF maxZoomRectForPoint(const ui::ScrollView& scrollView, const QPointF& point) {
    const QPointF inContent = (point + scrollView.contentOffset()) * (1.0 / scrollView.zoomScale());
    const QSizeF frame = scrollView.frame().size();
    const double width = frame.width() / scrollView.maximumZoomScale();
    const double height = frame.height() / scrollView.maximumZoomScale();
    return QRectF(inContent.x() - width / 2.0, inContent.y() - height / 2.0, width, height);
}

void maxZoomToPoint(ui::ScrollView& scrollView, const QPointF& point, bool animated) {
    scrollView.zoomToRect(maxZoomRectForPoint(scrollView, point), animated);
}

}  // namespace tovrin
