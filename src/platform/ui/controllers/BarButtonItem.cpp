#include "platform/ui/controllers/BarButtonItem.h"

#include "platform/ui/views/View.h"

namespace tovrin::ui {

BarButtonItem::BarButtonItem(QString title, Style style, Action action)
    : title_(std::move(title)), style_(style), action_(std::move(action)) {}

BarButtonItem::BarButtonItem(Image image, Style style, Action action)
    : image_(std::move(image)), style_(style), action_(std::move(action)) {}

BarButtonItem::BarButtonItem(std::shared_ptr<View> customView) : customView_(std::move(customView)) {}

void BarButtonItem::setTitle(const QString& title) {
    title_ = title;
    changed();
}

void BarButtonItem::setEnabled(bool enabled) {
    enabled_ = enabled;
    changed();
}

void BarButtonItem::setTintColor(const QColor& color) {
    tintColor_ = color;
    changed();
}

void BarButtonItem::setTitleTextAttributes(std::optional<QFont> font, QColor color) {
    titleFont_ = std::move(font);
    titleColor_ = std::move(color);
    changed();
}

}  // namespace tovrin::ui
