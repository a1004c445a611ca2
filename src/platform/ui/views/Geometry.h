#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <functional>

namespace tovrin::ui {

// Distances from the four edges of a rectangle, in points.
struct EdgeInsets {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;

    QRectF inset(const QRectF& rect) const { return rect.adjusted(left, top, -right, -bottom); }
    friend bool operator==(const EdgeInsets&, const EdgeInsets&) = default;
};

// Scale about the centre, then translation; the only transforms the toolkit draws.
struct Transform {
    double scaleX = 1;
    double scaleY = 1;
    double translateX = 0;
    double translateY = 0;

    static Transform identity() { return {}; }
    static Transform scale(double x, double y) { return {x, y, 0, 0}; }
    static Transform translation(double x, double y) { return {1, 1, x, y}; }

    bool isIdentity() const { return *this == Transform(); }
    QRectF apply(const QRectF& frame) const {
        const QPointF center = frame.center() + QPointF(translateX, translateY);
        const QSizeF size(frame.width() * scaleX, frame.height() * scaleY);
        return QRectF(center.x() - size.width() / 2, center.y() - size.height() / 2, size.width(),
                      size.height());
    }
    static Transform interpolate(const Transform& from, const Transform& to, double progress) {
        auto mix = [progress](double a, double b) { return a + (b - a) * progress; };
        return {mix(from.scaleX, to.scaleX), mix(from.scaleY, to.scaleY), mix(from.translateX, to.translateX),
                mix(from.translateY, to.translateY)};
    }
    friend bool operator==(const Transform&, const Transform&) = default;
};

// A position in a sectioned list: `item` in collection views, `row` in table views.
struct IndexPath {
    int section = 0;
    int item = 0;

    int row() const { return item; }
    static IndexPath forItem(int item, int section) { return {section, item}; }
    static IndexPath forRow(int row, int section) { return {section, row}; }

    friend bool operator==(const IndexPath&, const IndexPath&) = default;
    friend auto operator<=>(const IndexPath&, const IndexPath&) = default;
};

// Rounds a frame in points to whole points on each edge, so neighbours never overlap or gap.
inline QRect pixelAligned(const QRectF& frame) {
    const int left = qRound(frame.left());
    const int top = qRound(frame.top());
    return QRect(left, top, qRound(frame.right()) - left, qRound(frame.bottom()) - top);
}

}  // namespace tovrin::ui

template <>
struct std::hash<tovrin::ui::IndexPath> {
    size_t operator()(const tovrin::ui::IndexPath& path) const noexcept {
        return std::hash<qint64>()((qint64(path.section) << 32) ^ quint32(path.item));
    }
};
