#pragma once

#include <QRectF>
#include <memory>

namespace tovrin {

// The phone screen the application believes it has: bounds in points and the scale from points
// to pixels.
class Screen {
public:
    Screen(QRectF bounds, double scale) : bounds_(bounds), scale_(scale) {}

    // A phone-sized screen (375 × 667 points) at the scale of the display the window is on.
    static std::shared_ptr<Screen> main();

    const QRectF& bounds() const { return bounds_; }
    double scale() const { return scale_; }
    // The width in pixels.
    double nativeWidth() const { return bounds_.width() * scale_; }

    void setBounds(const QRectF& bounds) { bounds_ = bounds; }
    void setScale(double scale) { scale_ = scale; }

private:
    QRectF bounds_;
    double scale_;
};

}  // namespace tovrin
