#include "UserInterface/GradientView.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

namespace tovrin {

void GradientLayer::setColors(std::vector<QColor> colors) {
    colors_ = std::move(colors);
    changed();
}

void GradientLayer::setLocations(std::vector<double> locations) {
    locations_ = std::move(locations);
    changed();
}

void GradientLayer::setStartPoint(const QPointF& point) {
    startPoint_ = point;
    changed();
}

void GradientLayer::setEndPoint(const QPointF& point) {
    endPoint_ = point;
    changed();
}

void GradientLayer::draw(QPainter& painter, const QRectF& rect) const {
    if (colors_.empty()) return;
    if (colors_.size() == 1) {
        painter.fillRect(rect, colors_.front());
        return;
    }
    auto inRect = [&rect](const QPointF& unit) {
        return QPointF(rect.left() + unit.x() * rect.width(), rect.top() + unit.y() * rect.height());
    };
    QLinearGradient gradient(inRect(startPoint_), inRect(endPoint_));
    const bool located = locations_.size() == colors_.size();
    for (size_t index = 0; index < colors_.size(); ++index) {
        const double stop = located ? locations_[index] : double(index) / double(colors_.size() - 1);
        gradient.setColorAt(std::clamp(stop, 0.0, 1.0), colors_[index]);
    }
    painter.fillRect(rect, gradient);
}

GradientView::GradientView(QWidget* parent) : View(parent) {
    // The layer lives and dies with the view.
    layer_.changed_ = [this] { update(); };
}

void GradientView::drawRect(QPainter& painter, const QRectF& rect) {
    layer_.draw(painter, rect);
}

}  // namespace tovrin
