#pragma once

#include <QColor>
#include <QImage>
#include <QSizeF>
#include <QString>

#include "platform/ui/views/Geometry.h"

class QPainter;

namespace tovrin::ui {

// A picture with its scale (pixels per point), drawn as it is or as a template in the tint colour,
// optionally stretchable between fixed cap insets.
class Image {
public:
    enum class RenderingMode { Automatic, AlwaysOriginal, AlwaysTemplate };

    Image() = default;
    explicit Image(QImage image, double scale = 1);

    // The application's image of that name from the resources (":/images/NAME@2x.png", then
    // ":/images/NAME.png"); a null image when there is none.
    static Image named(const QString& name);
    // A 1 × 1 point image of one colour.
    static Image fromColor(const QColor& color);

    bool isNull() const { return image_.isNull(); }
    QSizeF size() const;
    double scale() const { return scale_; }
    const QImage& image() const { return image_; }
    const QString& name() const { return name_; }

    RenderingMode renderingMode() const { return renderingMode_; }
    Image withRenderingMode(RenderingMode mode) const;
    const EdgeInsets& capInsets() const { return capInsets_; }
    Image resizableWithCapInsets(const EdgeInsets& insets) const;

    // Draws into the rectangle; a template image takes the tint colour.
    void draw(QPainter& painter, const QRectF& target, const QColor& tint = QColor()) const;

    friend bool operator==(const Image& a, const Image& b) {
        return a.image_ == b.image_ && a.scale_ == b.scale_ && a.renderingMode_ == b.renderingMode_;
    }

private:
    QImage tinted(const QColor& tint) const;

    QImage image_;
    double scale_ = 1;
    QString name_;
    RenderingMode renderingMode_ = RenderingMode::Automatic;
    EdgeInsets capInsets_;
    bool resizable_ = false;
};

}  // namespace tovrin::ui
