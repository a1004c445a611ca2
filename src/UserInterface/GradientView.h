#pragma once

#include <QColor>
#include <QPointF>
#include <functional>
#include <vector>

#include "platform/ui/views/View.h"

namespace tovrin {

// What a gradient view draws: colours spread evenly (or at the given locations, 0 to 1) from the
// start point to the end point, both in unit coordinates of the view (top to bottom by default).
class GradientLayer {
public:
    GradientLayer() = default;
    // The layer tells its view of changes; a copy would tell the wrong one.
    GradientLayer(const GradientLayer&) = delete;
    GradientLayer& operator=(const GradientLayer&) = delete;

    const std::vector<QColor>& colors() const { return colors_; }
    void setColors(std::vector<QColor> colors);
    const std::vector<double>& locations() const { return locations_; }
    void setLocations(std::vector<double> locations);
    QPointF startPoint() const { return startPoint_; }
    void setStartPoint(const QPointF& point);
    QPointF endPoint() const { return endPoint_; }
    void setEndPoint(const QPointF& point);

    void draw(QPainter& painter, const QRectF& rect) const;

private:
    friend class GradientView;
    void changed() const {
        if (changed_) changed_();
    }

    std::vector<QColor> colors_;
    std::vector<double> locations_;
    QPointF startPoint_{0.5, 0};
    QPointF endPoint_{0.5, 1};
    std::function<void()> changed_;
};

// A view drawn entirely by its gradient.
class GradientView : public ui::View {
    Q_OBJECT
public:
    explicit GradientView(QWidget* parent = nullptr);

    GradientLayer& gradientLayer() { return layer_; }
    const GradientLayer& gradientLayer() const { return layer_; }
    std::vector<QColor> colors() const { return layer_.colors(); }
    void setColors(std::vector<QColor> colors) { layer_.setColors(std::move(colors)); }

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    GradientLayer layer_;
};

}  // namespace tovrin
