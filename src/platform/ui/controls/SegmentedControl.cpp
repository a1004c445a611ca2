#include "platform/ui/controls/SegmentedControl.h"

#include <QFontMetricsF>
#include <QPainter>

#include "platform/ui/text/Font.h"

namespace tovrin::ui {

SegmentedControl::SegmentedControl(const QStringList& titles, QWidget* parent)
    : Control(parent), font_(Font::systemFont(13)) {
    for (const QString& title : titles) segments_.push_back({title, true});
}

void SegmentedControl::insertSegment(const QString& title, int index) {
    index = std::clamp(index, 0, numberOfSegments());
    segments_.insert(segments_.begin() + index, Segment{title, true});
    if (selected_ >= index) ++selected_;
    update();
}

void SegmentedControl::removeSegment(int index) {
    if (index < 0 || index >= numberOfSegments()) return;
    segments_.erase(segments_.begin() + index);
    if (selected_ == index) {
        selected_ = NoSegment;
    } else if (selected_ > index) {
        --selected_;
    }
    update();
}

void SegmentedControl::removeAllSegments() {
    segments_.clear();
    selected_ = NoSegment;
    update();
}

QString SegmentedControl::titleForSegment(int index) const {
    return index >= 0 && index < numberOfSegments() ? segments_[size_t(index)].title : QString();
}

void SegmentedControl::setTitle(const QString& title, int index) {
    if (index < 0 || index >= numberOfSegments()) return;
    segments_[size_t(index)].title = title;
    update();
}

void SegmentedControl::setSegmentEnabled(bool enabled, int index) {
    if (index < 0 || index >= numberOfSegments()) return;
    segments_[size_t(index)].enabled = enabled;
    update();
}

bool SegmentedControl::isSegmentEnabled(int index) const {
    return index >= 0 && index < numberOfSegments() && segments_[size_t(index)].enabled;
}

void SegmentedControl::setSelectedSegmentIndex(int index) {
    selected_ = index >= 0 && index < numberOfSegments() ? index : NoSegment;
    update();
}

void SegmentedControl::setTitleFont(const QFont& font) {
    font_ = font;
    update();
}

int SegmentedControl::segmentAt(const QPointF& location) const {
    if (segments_.empty() || !bounds().contains(location)) return NoSegment;
    const double width = bounds().width() / numberOfSegments();
    return std::clamp(int((location.x() - bounds().left()) / width), 0, numberOfSegments() - 1);
}

void SegmentedControl::endTracking(const QPointF& location) {
    const int index = segmentAt(location);
    if (index == NoSegment || index == selected_ || !isSegmentEnabled(index)) return;
    selected_ = index;
    update();
    sendActionsForControlEvents(ValueChanged);
}

QSizeF SegmentedControl::sizeThatFits(const QSizeF&) const {
    const QFontMetricsF metrics(font_);
    double widest = 0;
    for (const auto& segment : segments_) widest = std::max(widest, metrics.horizontalAdvance(segment.title));
    return QSizeF((widest + 24) * std::max(1, numberOfSegments()), 29);
}

void SegmentedControl::drawRect(QPainter& painter, const QRectF& rect) {
    const QColor tint = tintColor();
    const QRectF outline = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(tint, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(outline, 4, 4);
    if (segments_.empty()) return;
    const double width = outline.width() / numberOfSegments();
    painter.setFont(font_);
    for (int index = 0; index < numberOfSegments(); ++index) {
        const QRectF segment(outline.left() + index * width, outline.top(), width, outline.height());
        const bool selected = index == selected_;
        if (selected) painter.fillRect(segment.adjusted(0.5, 0.5, -0.5, -0.5), tint);
        if (index > 0) painter.drawLine(segment.topLeft(), segment.bottomLeft());
        QColor text = selected ? QColor(Qt::white) : tint;
        if (!isSegmentEnabled(index)) text.setAlphaF(0.4f);
        painter.setPen(text);
        painter.drawText(segment, Qt::AlignCenter, segments_[size_t(index)].title);
        painter.setPen(QPen(tint, 1));
    }
}

}  // namespace tovrin::ui
