#pragma once

#include <QColor>
#include <QFont>
#include <QSizeF>
#include <QTextLayout>
#include <memory>

#include "platform/ui/text/AttributedString.h"

class QPainter;

namespace tovrin::ui {

// Lays text out in lines for labels: word wrap up to a number of lines (0: no limit), the last
// line shortened with an ellipsis when the text does not fit.
class TextBlock {
public:
    TextBlock(const AttributedString& text, const QFont& font, const QColor& color, Qt::Alignment alignment,
              int numberOfLines, double width);

    QSizeF size() const { return size_; }
    void draw(QPainter& painter, const QPointF& topLeft) const;

private:
    std::unique_ptr<QTextLayout> layout_;
    QVector<QTextLayout::FormatRange> formats_;
    QFont font_;
    QColor color_;
    Qt::Alignment alignment_;
    double width_;
    int lines_ = 0;
    bool truncated_ = false;
    QSizeF size_;
};

}  // namespace tovrin::ui
