#include "platform/ui/controllers/NavigationBar.h"

#include <QPainter>

#include "platform/ui/controllers/BarButtonItem.h"
#include "platform/ui/controllers/NavigationItem.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/text/Font.h"
#include "platform/ui/text/Label.h"

namespace tovrin::ui {
namespace {

constexpr double Margin = 8;

}  // namespace

NavigationBar::NavigationBar(QWidget* parent) : View(parent), titleLabel_(new Label(this)) {
    titleLabel_->setFont(Font::boldSystemFont(17));
    titleLabel_->setTextAlignment(Qt::AlignCenter);
    titleLabel_->setAccessibilityIdentifier(QStringLiteral("NavigationBarTitle"));
}

void NavigationBar::setBarTintColor(const QColor& color) {
    barTintColor_ = color;
    update();
}

void NavigationBar::setTranslucent(bool translucent) {
    translucent_ = translucent;
    update();
}

void NavigationBar::setBarStyle(BarStyle style) {
    barStyle_ = style;
    refresh();
}

void NavigationBar::setTitleTextAttributes(std::optional<QFont> font, QColor color) {
    titleFont_ = std::move(font);
    titleColor_ = std::move(color);
    refresh();
}

void NavigationBar::setBackgroundImage(const Image& image) {
    backgroundImage_ = image;
    update();
}

void NavigationBar::setShadowImage(const Image& image) {
    shadowImage_ = image;
    hasShadowImage_ = true;
    update();
}

void NavigationBar::setTopInset(double inset) {
    topInset_ = inset;
    setNeedsLayout();
}

void NavigationBar::setItems(NavigationItem* top, NavigationItem* previous, std::function<void()> back) {
    if (top_ && top_ != top) top_->setChangeHandler(nullptr);
    top_ = top;
    previous_ = previous;
    back_ = std::move(back);
    if (top_) {
        QPointer<NavigationBar> self(this);
        top_->setChangeHandler([self] {
            if (self) self->refresh();
        });
    }
    refresh();
}

void NavigationBar::clearButtons() {
    for (auto* list : {&left_, &right_}) {
        for (auto& view : *list) {
            if (!view) continue;
            // Custom views belong to their items; buttons made here are the bar's. A button may be
            // in the middle of sending its own tap (the back button pops), so it goes later.
            if (view->property("barOwned").toBool()) {
                view->hide();
                view->deleteLater();
            } else {
                view->removeFromSuperview();
            }
        }
        list->clear();
    }
    if (titleView_) titleView_->removeFromSuperview();
    titleView_ = nullptr;
}

Button* NavigationBar::makeButton(const std::shared_ptr<BarButtonItem>& item) {
    Button* button = makeBarButton(item, this);
    button->setProperty("barOwned", true);
    item->setChangeHandler(refreshLater(this, [this] { refresh(); }));
    return button;
}

void NavigationBar::refresh() {
    clearButtons();
    titleLabel_->setText(top_ ? top_->title() : QString());
    titleLabel_->setAccessibilityLabel(top_ ? top_->accessibilityLabel() : QString());
    titleLabel_->setFont(titleFont_.value_or(Font::boldSystemFont(17)));
    titleLabel_->setTextColor(titleColor_.isValid() ? titleColor_
                                                    : (barStyle_ == BarStyle::Black ? Qt::white : Qt::black));
    if (!top_) return;
    if (top_->titleView()) {
        titleView_ = top_->titleView().get();
        addSubview(titleView_);
    }
    titleLabel_->setHidden(titleView_ != nullptr);
    const bool showBack = previous_ && !top_->hidesBackButton() &&
                          (top_->leftBarButtonItems().empty() || top_->leftItemsSupplementBackButton());
    if (showBack) {
        QString title =
            previous_->backBarButtonItem() ? previous_->backBarButtonItem()->title() : previous_->title();
        if (title.isNull()) title = QStringLiteral("Back");
        auto item =
            std::make_shared<BarButtonItem>(QStringLiteral("‹ ") + title, BarButtonItem::Style::Plain, back_);
        item->setAccessibilityIdentifier(QStringLiteral("Back"));
        item->setAccessibilityLabel(QStringLiteral("Back"));
        left_.push_back(makeButton(item));
        backItem_ = item;
    }
    for (const auto& item : top_->leftBarButtonItems()) {
        if (item->customView()) {
            addSubview(item->customView().get());
            left_.push_back(item->customView().get());
        } else {
            left_.push_back(makeButton(item));
        }
    }
    for (const auto& item : top_->rightBarButtonItems()) {
        if (item->customView()) {
            addSubview(item->customView().get());
            right_.push_back(item->customView().get());
        } else {
            right_.push_back(makeButton(item));
        }
    }
    setNeedsLayout();
    layoutIfNeeded();
}

std::vector<Button*> NavigationBar::buttons() const {
    std::vector<Button*> found;
    for (const auto* list : {&left_, &right_}) {
        for (const auto& view : *list) {
            if (auto* button = qobject_cast<Button*>(view.data())) found.push_back(button);
        }
    }
    return found;
}

void NavigationBar::layoutSubviews() {
    const QRectF content(0, topInset_, bounds().width(), bounds().height() - topInset_);
    double left = Margin;
    for (auto& view : left_) {
        if (!view) continue;
        const QSizeF size = view->sizeThatFits(QSizeF(content.width(), content.height()));
        view->setFrame(QRectF(left, content.top() + (content.height() - size.height()) / 2, size.width(),
                              size.height()));
        left += size.width() + Margin;
    }
    double right = content.width() - Margin;
    for (auto& view : right_) {
        if (!view) continue;
        const QSizeF size = view->sizeThatFits(QSizeF(content.width(), content.height()));
        right -= size.width();
        view->setFrame(QRectF(right, content.top() + (content.height() - size.height()) / 2, size.width(),
                              size.height()));
        right -= Margin;
    }
    // The title stays centred on the bar while it fits between the buttons.
    const double side = std::max(left, content.width() - right);
    const QRectF middle(side, content.top(), std::max(0.0, content.width() - 2 * side), content.height());
    titleLabel_->setFrame(middle);
    if (titleView_) {
        QSizeF size = titleView_->frame().size();
        if (size.isEmpty()) size = titleView_->sizeThatFits(middle.size());
        size = size.boundedTo(middle.size());
        titleView_->setFrame(QRectF(content.width() / 2 - size.width() / 2,
                                    content.top() + (content.height() - size.height()) / 2, size.width(),
                                    size.height()));
    }
}

void NavigationBar::drawRect(QPainter& painter, const QRectF& rect) {
    if (!backgroundImage_.isNull()) {
        backgroundImage_.draw(painter, rect);
    } else {
        QColor color = barTintColor_.isValid()
                           ? barTintColor_
                           : (barStyle_ == BarStyle::Black ? QColor(20, 20, 20) : QColor(247, 247, 247));
        if (translucent_) color.setAlphaF(color.alphaF() * 0.94f);
        painter.fillRect(rect, color);
    }
    const QRectF hairline(rect.left(), rect.bottom() - 0.5, rect.width(), 0.5);
    if (hasShadowImage_) {
        shadowImage_.draw(painter, hairline);
    } else {
        painter.fillRect(hairline, QColor(0, 0, 0, 77));
    }
}

void NavigationBar::tintColorDidChange() {
    View::tintColorDidChange();
    for (Button* button : buttons()) button->update();
}

}  // namespace tovrin::ui
