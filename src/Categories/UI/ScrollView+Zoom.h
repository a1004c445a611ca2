#pragma once

#include <QPointF>
#include <QRectF>

namespace tovrin::ui {
class ScrollView;
}

namespace tovrin {

// The rectangle of the unzoomed content that fills the scroll view at its maximum scale, centred on
// the point (relative to the visible area, whatever the current offset and scale).
QRectF maxZoomRectForPoint(const ui::ScrollView& scrollView, const QPointF& point);

// Zooms the scroll view all the way in, centred on the point of its visible area.
void maxZoomToPoint(ui::ScrollView& scrollView, const QPointF& point, bool animated);

}  // namespace tovrin
