#include "platform/ui/controls/ActivityIndicatorView.h"

#include <QPainter>
#include <cmath>

namespace tovrin::ui {
namespace {

constexpr int Spokes = 12;

}  // namespace

ActivityIndicatorView::ActivityIndicatorView(Style style, QWidget* parent) : View(parent) {
    setUserInteractionEnabled(false);
    setStyle(style);
    timer_.setInterval(1000 / Spokes);
    connect(&timer_, &QTimer::timeout, this, [this] {
        phase_ = (phase_ + 1) % Spokes;
        update();
    });
    setFrame(QRectF(QPointF(0, 0), intrinsicContentSize()));
    setHidden(true);
}

void ActivityIndicatorView::setStyle(Style style) {
    style_ = style;
    color_ = style == Style::Gray ? QColor(Qt::gray) : QColor(Qt::white);
    invalidateIntrinsicContentSize();
    update();
}

void ActivityIndicatorView::setColor(const QColor& color) {
    color_ = color;
    update();
}

void ActivityIndicatorView::startAnimating() {
    animating_ = true;
    setHidden(false);
    timer_.start();
}

void ActivityIndicatorView::stopAnimating() {
    animating_ = false;
    timer_.stop();
    if (hidesWhenStopped_) setHidden(true);
}

void ActivityIndicatorView::setHidesWhenStopped(bool hides) {
    hidesWhenStopped_ = hides;
    setHidden(hides && !animating_);
}

void ActivityIndicatorView::setProgress(double progress) {
    progress_ = std::clamp(progress, 0.0, 1.0);
    update();
}

QSizeF ActivityIndicatorView::intrinsicContentSize() const {
    return style_ == Style::WhiteLarge ? QSizeF(37, 37) : QSizeF(20, 20);
}

void ActivityIndicatorView::drawRect(QPainter& painter, const QRectF& rect) {
    const double radius = std::min(rect.width(), rect.height()) / 2;
    const QPointF center = rect.center();
    const int shown = int(std::ceil(progress_ * Spokes));
    QPen pen(color_, std::max(2.0, radius / 5), Qt::SolidLine, Qt::RoundCap);
    for (int spoke = 0; spoke < shown; ++spoke) {
        const double angle = 2 * M_PI * spoke / Spokes - M_PI / 2;
        const int age = (spoke - phase_ + Spokes) % Spokes;
        QColor color = color_;
        color.setAlphaF(float(animating_ ? 1.0 - 0.7 * age / Spokes : 0.6));
        pen.setColor(color);
        painter.setPen(pen);
        const QPointF direction(std::cos(angle), std::sin(angle));
        painter.drawLine(center + direction * radius * 0.5, center + direction * radius * 0.9);
    }
}

}  // namespace tovrin::ui
