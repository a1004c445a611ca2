#pragma once

#include <QPointer>
#include <functional>
#include <optional>
#include <vector>

#include "platform/ui/views/Image.h"
#include "platform/ui/views/View.h"

namespace tovrin::ui {

class Button;
class Label;
class NavigationItem;

// The bar of a navigation controller: the top item's title (or title view) and bar buttons, and a
// back button to the item below it.
class NavigationBar : public View {
    Q_OBJECT
public:
    static constexpr double Height = 44;
    enum class BarStyle { Default, Black };

    explicit NavigationBar(QWidget* parent = nullptr);

    // The bar's background colour; unset is the platform's light grey.
    const QColor& barTintColor() const { return barTintColor_; }
    void setBarTintColor(const QColor& color);
    bool isTranslucent() const { return translucent_; }
    void setTranslucent(bool translucent);
    BarStyle barStyle() const { return barStyle_; }
    void setBarStyle(BarStyle style);
    void setTitleTextAttributes(std::optional<QFont> font, QColor color);
    const std::optional<QFont>& titleFont() const { return titleFont_; }
    const QColor& titleColor() const { return titleColor_; }
    void setBackgroundImage(const Image& image);
    void setShadowImage(const Image& image);
    // The height of the status bar area the bar reaches under.
    double topInset() const { return topInset_; }
    void setTopInset(double inset);

    // Shows `top`, with a back button to `previous` (none when null) that runs `back`.
    void setItems(NavigationItem* top, NavigationItem* previous, std::function<void()> back);
    Label* titleLabel() const { return titleLabel_; }
    // The buttons shown now, left to right, the back button first.
    std::vector<Button*> buttons() const;

protected:
    void layoutSubviews() override;
    void drawRect(QPainter& painter, const QRectF& rect) override;
    void tintColorDidChange() override;

private:
    void refresh();
    Button* makeButton(const std::shared_ptr<class BarButtonItem>& item);
    void clearButtons();

    QColor barTintColor_;
    bool translucent_ = true;
    BarStyle barStyle_ = BarStyle::Default;
    std::optional<QFont> titleFont_;
    QColor titleColor_;
    Image backgroundImage_;
    Image shadowImage_;
    bool hasShadowImage_ = false;
    double topInset_ = 0;
    NavigationItem* top_ = nullptr;
    NavigationItem* previous_ = nullptr;
    std::function<void()> back_;
    std::shared_ptr<class BarButtonItem> backItem_;
    Label* titleLabel_;
    QPointer<View> titleView_;
    std::vector<QPointer<View>> left_;
    std::vector<QPointer<View>> right_;
};

}  // namespace tovrin::ui
