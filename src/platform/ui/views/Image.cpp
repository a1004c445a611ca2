#include "platform/ui/views/Image.h"

#include <QFile>
#include <QPainter>

namespace tovrin::ui {

Image::Image(QImage image, double scale) : image_(std::move(image)), scale_(scale > 0 ? scale : 1) {}

Image Image::named(const QString& name) {
    for (const auto& [suffix, scale] :
         {std::pair{QStringLiteral("@2x.png"), 2.0}, {QStringLiteral(".png"), 1.0}}) {
        const QString path = QStringLiteral(":/images/") + name + suffix;
        if (!QFile::exists(path)) continue;
        Image image(QImage(path), scale);
        image.name_ = name;
        return image;
    }
    return {};
}

Image Image::fromColor(const QColor& color) {
    QImage pixel(1, 1, QImage::Format_ARGB32_Premultiplied);
    pixel.fill(color);
    return Image(pixel);
}

QSizeF Image::size() const {
    return QSizeF(image_.width() / scale_, image_.height() / scale_);
}

Image Image::withRenderingMode(RenderingMode mode) const {
    Image copy = *this;
    copy.renderingMode_ = mode;
    return copy;
}

Image Image::resizableWithCapInsets(const EdgeInsets& insets) const {
    Image copy = *this;
    copy.capInsets_ = insets;
    copy.resizable_ = true;
    return copy;
}

QImage Image::tinted(const QColor& tint) const {
    QImage result = image_.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&result);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(result.rect(), tint);
    return result;
}

void Image::draw(QPainter& painter, const QRectF& target, const QColor& tint) const {
    if (isNull()) return;
    const QImage source =
        renderingMode_ == RenderingMode::AlwaysTemplate && tint.isValid() ? tinted(tint) : image_;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!resizable_) {
        painter.drawImage(target, source);
        painter.restore();
        return;
    }
    // Nine slices: corners keep their size, edges and centre stretch.
    const double s = scale_;
    const EdgeInsets& c = capInsets_;
    const double xs[] = {0, c.left * s, source.width() - c.right * s, double(source.width())};
    const double ys[] = {0, c.top * s, source.height() - c.bottom * s, double(source.height())};
    const double xt[] = {target.left(), target.left() + c.left, target.right() - c.right, target.right()};
    const double yt[] = {target.top(), target.top() + c.top, target.bottom() - c.bottom, target.bottom()};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRectF from(xs[column], ys[row], xs[column + 1] - xs[column], ys[row + 1] - ys[row]);
            const QRectF to(xt[column], yt[row], xt[column + 1] - xt[column], yt[row + 1] - yt[row]);
            if (from.width() > 0 && from.height() > 0 && to.width() > 0 && to.height() > 0) {
                painter.drawImage(to, source, from);
            }
        }
    }
    painter.restore();
}

}  // namespace tovrin::ui
