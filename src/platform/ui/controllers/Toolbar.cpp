#include "platform/ui/controllers/Toolbar.h"

#include <QPainter>

#include "platform/ui/controllers/BarButtonItem.h"
#include "platform/ui/controls/Button.h"

namespace tovrin::ui {
namespace {

constexpr double EdgeMargin = 8;
constexpr double Spacing = 8;

}  // namespace

Toolbar::Toolbar(QWidget* parent) : View(parent) {}

Toolbar::~Toolbar() {
    // Custom views belong to their items: give them back before the bar deletes its children.
    for (auto& view : views_) {
        if (view && !view->property("barOwned").toBool()) view->removeFromSuperview();
    }
    for (const auto& item : items_) item->setChangeHandler(nullptr);
}

void Toolbar::setItems(std::vector<std::shared_ptr<BarButtonItem>> items) {
    for (const auto& item : items_) item->setChangeHandler(nullptr);
    items_ = std::move(items);
    for (const auto& item : items_) item->setChangeHandler(refreshLater(this, [this] { refresh(); }));
    refresh();
}

void Toolbar::setBarTintColor(const QColor& color) {
    barTintColor_ = color;
    update();
}

void Toolbar::setTranslucent(bool translucent) {
    translucent_ = translucent;
    update();
}

void Toolbar::clearViews() {
    for (auto& view : views_) {
        if (!view) continue;
        if (view->property("barOwned").toBool()) {
            view->hide();
            view->deleteLater();
        } else {
            view->removeFromSuperview();
        }
    }
    views_.clear();
}

void Toolbar::refresh() {
    clearViews();
    for (const auto& item : items_) {
        if (item->isFlexibleSpace()) {
            views_.emplace_back();
        } else if (item->customView()) {
            addSubview(item->customView().get());
            views_.emplace_back(item->customView().get());
        } else {
            Button* button = makeBarButton(item, this);
            button->setProperty("barOwned", true);
            views_.emplace_back(button);
        }
    }
    setNeedsLayout();
    layoutIfNeeded();
}

std::vector<Button*> Toolbar::buttons() const {
    std::vector<Button*> found;
    for (const auto& view : views_) {
        if (auto* button = qobject_cast<Button*>(view.data());
            button && button->property("barOwned").toBool()) {
            found.push_back(button);
        }
    }
    return found;
}

QSizeF Toolbar::sizeThatFits(const QSizeF& size) const {
    return QSizeF(size.width() > 0 ? size.width() : frame().width(), Height);
}

void Toolbar::layoutSubviews() {
    const QRectF area = bounds();
    std::vector<QSizeF> sizes;
    double used = 0;
    int flexible = 0;
    int fixed = 0;
    for (const auto& view : views_) {
        if (!view) {
            sizes.emplace_back();
            ++flexible;
            continue;
        }
        QSizeF size = view->frame().size();
        if (size.isEmpty() || view->property("barOwned").toBool()) {
            size = view->sizeThatFits(area.size());
        }
        sizes.push_back(size.boundedTo(area.size()));
        used += size.width();
        ++fixed;
    }
    // The spacing stands between neighbouring items only; flexible spaces replace it.
    const double gaps = flexible > 0 ? 0 : std::max(0, fixed - 1) * Spacing;
    const double left = std::max(0.0, area.width() - 2 * EdgeMargin - used - gaps);
    const double share = flexible > 0 ? left / flexible : 0;
    double x = EdgeMargin;
    for (size_t index = 0; index < views_.size(); ++index) {
        const auto& view = views_[index];
        if (!view) {
            x += share;
            continue;
        }
        const QSizeF size = sizes[index];
        view->setFrame(QRectF(x, (area.height() - size.height()) / 2, size.width(), size.height()));
        x += size.width() + (flexible > 0 ? 0 : Spacing);
    }
}

void Toolbar::drawRect(QPainter& painter, const QRectF& rect) {
    QColor color = barTintColor_.isValid() ? barTintColor_ : QColor(247, 247, 247);
    if (translucent_) color.setAlphaF(color.alphaF() * 0.94f);
    painter.fillRect(rect, color);
    painter.fillRect(QRectF(rect.left(), rect.top(), rect.width(), 0.5), QColor(0, 0, 0, 77));
}

void Toolbar::tintColorDidChange() {
    View::tintColorDidChange();
    for (Button* button : buttons()) button->update();
}

}  // namespace tovrin::ui
