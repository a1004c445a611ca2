#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "platform/ui/views/Image.h"

namespace tovrin::ui {

class Button;
class View;

// A button of a navigation bar or toolbar: a title or an image, or a custom view. A flexible space
// is an empty item of a toolbar that takes an equal share of the width its buttons leave.
class BarButtonItem {
public:
    enum class Style { Plain, Done };
    enum class SystemItem { FlexibleSpace };
    using Action = std::function<void()>;

    BarButtonItem(QString title, Style style, Action action);
    BarButtonItem(Image image, Style style, Action action);
    // Takes a shared widget handle (`sharedWidget`).
    explicit BarButtonItem(std::shared_ptr<View> customView);
    explicit BarButtonItem(SystemItem item);
    static std::shared_ptr<BarButtonItem> flexibleSpace();

    const QString& title() const { return title_; }
    void setTitle(const QString& title);
    const Image& image() const { return image_; }
    Style style() const { return style_; }
    const std::shared_ptr<View>& customView() const { return customView_; }
    bool isFlexibleSpace() const { return flexibleSpace_; }
    const Action& action() const { return action_; }
    void setAction(Action action) { action_ = std::move(action); }

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    // Unset means the bar's tint.
    const QColor& tintColor() const { return tintColor_; }
    void setTintColor(const QColor& color);
    void setTitleTextAttributes(std::optional<QFont> font, QColor color);
    const std::optional<QFont>& titleFont() const { return titleFont_; }
    const QColor& titleColor() const { return titleColor_; }

    QString accessibilityIdentifier() const { return accessibilityIdentifier_; }
    void setAccessibilityIdentifier(const QString& identifier) { accessibilityIdentifier_ = identifier; }
    QString accessibilityLabel() const { return accessibilityLabel_; }
    void setAccessibilityLabel(const QString& label) { accessibilityLabel_ = label; }

    // The bar showing the item redraws it when it changes.
    void setChangeHandler(std::function<void()> handler) { changed_ = std::move(handler); }

private:
    void changed() {
        if (changed_) changed_();
    }

    QString title_;
    Image image_;
    Style style_ = Style::Plain;
    std::shared_ptr<View> customView_;
    Action action_;
    bool enabled_ = true;
    bool flexibleSpace_ = false;
    QColor tintColor_;
    std::optional<QFont> titleFont_;
    QColor titleColor_;
    QString accessibilityIdentifier_;
    QString accessibilityLabel_;
    std::function<void()> changed_;
};

// The button a bar shows for the item (not a custom view's), owned by `bar`: a tap runs the item's
// action while the item lives.
Button* makeBarButton(const std::shared_ptr<BarButtonItem>& item, View* bar);

// An item's change handler that runs `refresh` on `bar` later, while the bar lives: a change may
// come from the item's own action, inside the tap of the button that the refresh replaces.
std::function<void()> refreshLater(View* bar, std::function<void()> refresh);

}  // namespace tovrin::ui
