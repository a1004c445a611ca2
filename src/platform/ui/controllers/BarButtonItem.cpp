#include "platform/ui/controllers/BarButtonItem.h"

#include <QPointer>

#include "platform/ui/controls/Button.h"
#include "platform/ui/text/Font.h"
#include "platform/ui/text/Label.h"
#include "platform/ui/views/View.h"

namespace tovrin::ui {

BarButtonItem::BarButtonItem(QString title, Style style, Action action)
    : title_(std::move(title)), style_(style), action_(std::move(action)) {}

BarButtonItem::BarButtonItem(Image image, Style style, Action action)
    : image_(std::move(image)), style_(style), action_(std::move(action)) {}

BarButtonItem::BarButtonItem(std::shared_ptr<View> customView) : customView_(std::move(customView)) {}

BarButtonItem::BarButtonItem(SystemItem) : flexibleSpace_(true) {}

std::shared_ptr<BarButtonItem> BarButtonItem::flexibleSpace() {
    return std::make_shared<BarButtonItem>(SystemItem::FlexibleSpace);
}

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

Button* makeBarButton(const std::shared_ptr<BarButtonItem>& item, View* bar) {
    auto* button = new Button(Button::Type::System, bar);
    if (!item->image().isNull()) {
        button->setImage(item->image().renderingMode() == Image::RenderingMode::AlwaysOriginal
                             ? item->image()
                             : item->image().withRenderingMode(Image::RenderingMode::AlwaysTemplate));
    }
    button->setTitle(item->title());
    if (item->tintColor().isValid()) button->setTintColor(item->tintColor());
    if (item->titleFont()) button->titleLabel()->setFont(*item->titleFont());
    if (item->style() == BarButtonItem::Style::Done && !item->titleFont()) {
        button->titleLabel()->setFont(Font::boldSystemFont(17));
    }
    if (item->titleColor().isValid()) button->setTitleColor(item->titleColor());
    button->setEnabled(item->isEnabled());
    button->setAccessibilityIdentifier(item->accessibilityIdentifier());
    button->setAccessibilityLabel(item->accessibilityLabel().isEmpty() ? item->title()
                                                                       : item->accessibilityLabel());
    std::weak_ptr<BarButtonItem> weak = item;
    button->addTarget(Control::TouchUpInside, [weak](Control&) {
        if (auto strong = weak.lock(); strong && strong->action()) strong->action()();
    });
    button->sizeToFit();
    return button;
}

std::function<void()> refreshLater(View* bar, std::function<void()> refresh) {
    QPointer<View> self(bar);
    return [self, refresh = std::move(refresh)] {
        if (!self) return;
        QMetaObject::invokeMethod(
            self.data(),
            [self, refresh] {
                if (self) refresh();
            },
            Qt::QueuedConnection);
    };
}

}  // namespace tovrin::ui
