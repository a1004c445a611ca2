#pragma once

#include "platform/ui/controls/Control.h"

namespace tovrin::ui {

// A row of dots for pages; a tap left or right of the current dot moves one page and sends
// ValueChanged.
class PageControl : public Control {
    Q_OBJECT
public:
    explicit PageControl(QWidget* parent = nullptr) : Control(parent) {}

    int numberOfPages() const { return numberOfPages_; }
    void setNumberOfPages(int pages);
    int currentPage() const { return currentPage_; }
    void setCurrentPage(int page);
    bool hidesForSinglePage() const { return hidesForSinglePage_; }
    void setHidesForSinglePage(bool hides);
    void setPageIndicatorTintColor(const QColor& color);
    void setCurrentPageIndicatorTintColor(const QColor& color);

    static QSizeF sizeForNumberOfPages(int pages) { return QSizeF(std::max(0, pages) * 16.0, 37); }
    QSizeF sizeThatFits(const QSizeF&) const override { return sizeForNumberOfPages(numberOfPages_); }

protected:
    void endTracking(const QPointF& location) override;
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    void updateHidden();

    int numberOfPages_ = 0;
    int currentPage_ = 0;
    bool hidesForSinglePage_ = false;
    QColor pageTint_ = QColor(255, 255, 255, 80);
    QColor currentTint_ = Qt::white;
};

}  // namespace tovrin::ui
