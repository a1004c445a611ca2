#include "platform/ui/controls/ImageView.h"

#include <QPainter>

namespace tovrin::ui {

ImageView::ImageView(QWidget* parent) : View(parent) {
    setUserInteractionEnabled(false);
}

ImageView::ImageView(const Image& image, QWidget* parent) : ImageView(parent) {
    setImage(image);
    setFrame(QRectF(QPointF(0, 0), image.size()));
}

void ImageView::setImage(const Image& image) {
    image_ = image;
    invalidateIntrinsicContentSize();
    update();
}

void ImageView::setHighlightedImage(const Image& image) {
    highlightedImage_ = image;
    update();
}

void ImageView::setHighlighted(bool highlighted) {
    highlighted_ = highlighted;
    update();
}

void ImageView::setContentMode(ContentMode mode) {
    contentMode_ = mode;
    update();
}

const Image& ImageView::shownImage() const {
    return highlighted_ && !highlightedImage_.isNull() ? highlightedImage_ : image_;
}

QSizeF ImageView::intrinsicContentSize() const {
    return image_.isNull() ? QSizeF(-1, -1) : image_.size();
}

QRectF ImageView::imageRect() const {
    const QRectF area = bounds();
    const QSizeF size = shownImage().size();
    if (size.isEmpty()) return area;
    auto placed = [&](const QSizeF& drawn, Qt::Alignment alignment) {
        double x = area.left() + (area.width() - drawn.width()) / 2;
        double y = area.top() + (area.height() - drawn.height()) / 2;
        if (alignment & Qt::AlignLeft) x = area.left();
        if (alignment & Qt::AlignRight) x = area.right() - drawn.width();
        if (alignment & Qt::AlignTop) y = area.top();
        if (alignment & Qt::AlignBottom) y = area.bottom() - drawn.height();
        return QRectF(QPointF(x, y), drawn);
    };
    switch (contentMode_) {
        case ContentMode::ScaleToFill:
            return area;
        case ContentMode::ScaleAspectFit:
            return placed(size.scaled(area.size(), Qt::KeepAspectRatio), Qt::AlignCenter);
        case ContentMode::ScaleAspectFill:
            return placed(size.scaled(area.size(), Qt::KeepAspectRatioByExpanding), Qt::AlignCenter);
        case ContentMode::Center:
            return placed(size, Qt::AlignCenter);
        case ContentMode::Top:
            return placed(size, Qt::AlignTop | Qt::AlignHCenter);
        case ContentMode::Bottom:
            return placed(size, Qt::AlignBottom | Qt::AlignHCenter);
        case ContentMode::Left:
            return placed(size, Qt::AlignLeft | Qt::AlignVCenter);
        case ContentMode::Right:
            return placed(size, Qt::AlignRight | Qt::AlignVCenter);
    }
    return area;
}

void ImageView::drawRect(QPainter& painter, const QRectF& rect) {
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    shownImage().draw(painter, imageRect(), tintColor());
    painter.restore();
}

}  // namespace tovrin::ui
