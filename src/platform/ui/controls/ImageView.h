#pragma once

#include "platform/ui/views/Image.h"
#include "platform/ui/views/View.h"

namespace tovrin::ui {

enum class ContentMode { ScaleToFill, ScaleAspectFit, ScaleAspectFill, Center, Top, Bottom, Left, Right };

// Shows an image (or its highlighted image while highlighted), placed by the content mode and
// clipped to the bounds.
class ImageView : public View {
    Q_OBJECT
public:
    explicit ImageView(QWidget* parent = nullptr);
    explicit ImageView(const Image& image, QWidget* parent = nullptr);

    const Image& image() const { return image_; }
    void setImage(const Image& image);
    const Image& highlightedImage() const { return highlightedImage_; }
    void setHighlightedImage(const Image& image);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);
    ContentMode contentMode() const { return contentMode_; }
    void setContentMode(ContentMode mode);

    QSizeF intrinsicContentSize() const override;
    // Where the image is drawn within the bounds.
    QRectF imageRect() const;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    const Image& shownImage() const;

    Image image_;
    Image highlightedImage_;
    bool highlighted_ = false;
    ContentMode contentMode_ = ContentMode::ScaleToFill;
};

}  // namespace tovrin::ui
