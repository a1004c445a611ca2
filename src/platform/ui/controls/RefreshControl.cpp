#include "platform/ui/controls/RefreshControl.h"

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controls/ActivityIndicatorView.h"
#include "platform/ui/scrolling/ScrollView.h"
#include "platform/ui/text/Font.h"
#include "platform/ui/text/Label.h"

namespace tovrin::ui {

RefreshControl::RefreshControl(QWidget* parent)
    : Control(parent),
      spinner_(new ActivityIndicatorView(ActivityIndicatorView::Style::Gray, this)),
      titleLabel_(new Label(this)) {
    spinner_->setHidesWhenStopped(false);
    spinner_->setProgress(0);
    spinner_->setHidden(false);
    titleLabel_->setFont(Font::systemFont(12));
    titleLabel_->setTextAlignment(Qt::AlignCenter);
    setAccessibilityIdentifier(QStringLiteral("RefreshControl"));
    tintColorDidChange();
}

ScrollView* RefreshControl::scrollView() const {
    return qobject_cast<ScrollView*>(superview());
}

void RefreshControl::didMoveToSuperview() {
    if (auto* scroll = scrollView()) scroll->setRefreshControl(this);
}

void RefreshControl::tintColorDidChange() {
    spinner_->setColor(tintColor());
    titleLabel_->setTextColor(tintColor());
    Control::tintColorDidChange();
}

void RefreshControl::setAttributedTitle(const AttributedString& title) {
    titleLabel_->setAttributedText(title);
    setNeedsLayout();
}

void RefreshControl::layoutSubviews() {
    const QSizeF size = spinner_->intrinsicContentSize();
    const bool titled = !titleLabel_->text().isEmpty();
    const double top = titled ? 8 : (bounds().height() - size.height()) / 2;
    spinner_->setFrame(QRectF((bounds().width() - size.width()) / 2, top, size.width(), size.height()));
    titleLabel_->setFrame(QRectF(0, top + size.height() + 4, bounds().width(), 16));
}

double RefreshControl::pulledDistance(const ScrollView& scrollView) const {
    return scrollView.minimumContentOffset().y() - scrollView.contentOffset().y();
}

void RefreshControl::scrollViewDidScroll(ScrollView& scrollView) {
    if (!refreshing_) spinner_->setProgress(pulledDistance(scrollView) / Height);
}

void RefreshControl::scrollViewDidEndDragging(ScrollView& scrollView) {
    if (refreshing_ || pulledDistance(scrollView) < Height) return;
    beginRefreshing();
    sendActionsForControlEvents(ValueChanged);
}

void RefreshControl::beginRefreshing() {
    if (refreshing_) return;
    refreshing_ = true;
    spinner_->setProgress(1);
    spinner_->startAnimating();
    if (auto* scroll = scrollView()) {
        EdgeInsets insets = scroll->contentInset();
        insets.top += Height;
        scroll->setContentInset(insets);
    }
}

void RefreshControl::endRefreshing() {
    if (!refreshing_) return;
    refreshing_ = false;
    spinner_->stopAnimating();
    spinner_->setProgress(0);
    auto* scroll = scrollView();
    if (!scroll) return;
    EdgeInsets insets = scroll->contentInset();
    insets.top -= Height;
    scroll->setContentInset(insets);
    if (!scroll->isTracking() && scroll->contentOffset().y() < scroll->minimumContentOffset().y()) {
        scroll->setContentOffset(scroll->minimumContentOffset(), !ViewAnimation::isImmediate());
    }
}

}  // namespace tovrin::ui
