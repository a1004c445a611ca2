#pragma once

#include <memory>

#include "platform/ui/views/View.h"

namespace tovrin {

class Screen;

// A line one device pixel thick along the top edge, in the view's tint colour.
class HairlineView : public ui::View {
    Q_OBJECT
public:
    explicit HairlineView(QWidget* parent = nullptr);
    explicit HairlineView(std::shared_ptr<tovrin::Screen> screen, QWidget* parent = nullptr);

    // Width 0, height one device pixel.
    QSizeF intrinsicContentSize() const override;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    double pixel() const;

    std::shared_ptr<tovrin::Screen> screen_;
};

}  // namespace tovrin
