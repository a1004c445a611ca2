#pragma once

#include "platform/ui/controls/Control.h"

namespace tovrin::ui {

// An on/off switch; a tap flips it and sends ValueChanged.
class Switch : public Control {
    Q_OBJECT
public:
    explicit Switch(QWidget* parent = nullptr);

    bool isOn() const { return on_; }
    void setOn(bool on, bool animated = false);
    void setOnTintColor(const QColor& color);
    void setThumbTintColor(const QColor& color);

    QSizeF intrinsicContentSize() const override { return QSizeF(51, 31); }
    QSizeF sizeThatFits(const QSizeF&) const override { return intrinsicContentSize(); }

protected:
    void endTracking(const QPointF& location) override;
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    bool on_ = false;
    double knob_ = 0;
    QColor onTint_ = QColor(76, 217, 100);
    QColor thumbTint_ = Qt::white;
};

}  // namespace tovrin::ui
