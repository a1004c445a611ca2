#pragma once

#include <QTimer>

#include "platform/ui/views/View.h"

namespace tovrin::ui {

// The spinner: twelve spokes turning while it animates; hidden while stopped unless told otherwise.
class ActivityIndicatorView : public View {
    Q_OBJECT
public:
    enum class Style { White, WhiteLarge, Gray };

    explicit ActivityIndicatorView(Style style = Style::White, QWidget* parent = nullptr);

    Style style() const { return style_; }
    void setStyle(Style style);
    QColor color() const { return color_; }
    void setColor(const QColor& color);
    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return animating_; }
    bool hidesWhenStopped() const { return hidesWhenStopped_; }
    void setHidesWhenStopped(bool hides);
    // Draws only this share of the spokes (0…1): a refresh control being pulled.
    void setProgress(double progress);

    QSizeF intrinsicContentSize() const override;
    QSizeF sizeThatFits(const QSizeF&) const override { return intrinsicContentSize(); }

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    Style style_;
    QColor color_;
    bool animating_ = false;
    bool hidesWhenStopped_ = true;
    double progress_ = 1;
    int phase_ = 0;
    QTimer timer_;
};

}  // namespace tovrin::ui
