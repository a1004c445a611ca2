#pragma once

#include <QPointer>
#include <memory>
#include <vector>

#include "platform/ui/views/View.h"

namespace tovrin::ui {

class BarButtonItem;
class Button;

// The bar at the bottom of a screen: bar button items left to right, the flexible spaces among them
// sharing equally the width the others leave. Its natural height is `Height` at any width.
class Toolbar : public View {
    Q_OBJECT
public:
    static constexpr double Height = 44;

    explicit Toolbar(QWidget* parent = nullptr);
    ~Toolbar() override;

    const std::vector<std::shared_ptr<BarButtonItem>>& items() const { return items_; }
    void setItems(std::vector<std::shared_ptr<BarButtonItem>> items);
    // The bar's background colour; unset is the platform's light grey.
    const QColor& barTintColor() const { return barTintColor_; }
    void setBarTintColor(const QColor& color);
    // A translucent bar lets a little of what lies behind it show through; an opaque one does not.
    bool isTranslucent() const { return translucent_; }
    void setTranslucent(bool translucent);
    // The buttons made for the items, left to right (custom views not included).
    std::vector<Button*> buttons() const;

    QSizeF sizeThatFits(const QSizeF& size) const override;
    QSizeF intrinsicContentSize() const override { return QSizeF(-1, Height); }

protected:
    void layoutSubviews() override;
    void drawRect(QPainter& painter, const QRectF& rect) override;
    void tintColorDidChange() override;

private:
    void refresh();
    void clearViews();

    std::vector<std::shared_ptr<BarButtonItem>> items_;
    // One entry per item, null for a flexible space.
    std::vector<QPointer<View>> views_;
    QColor barTintColor_;
    bool translucent_ = true;
};

}  // namespace tovrin::ui
