#include "platform/ui/ScrollView.h"

#include <QElapsedTimer>
#include <QScrollEvent>
#include <QScrollPrepareEvent>
#include <QScroller>
#include <QWheelEvent>

#include "platform/ui/Keyboard.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/PinchGestureRecognizer.h"
#include "platform/ui/RefreshControl.h"
#include "platform/ui/ViewAnimation.h"
#include "platform/ui/Window.h"

namespace tovrin::ui {
namespace {

constexpr double AnimatedScrollDuration = 0.3;

qint64 now() {
    static QElapsedTimer clock = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return clock.elapsed();
}

QWidget* makeIndicator(QWidget* parent) {
    auto* indicator = new QWidget(parent);
    indicator->setAttribute(Qt::WA_TransparentForMouseEvents);
    indicator->setAttribute(Qt::WA_StyledBackground);
    indicator->setStyleSheet(QStringLiteral("background: rgba(0, 0, 0, 90); border-radius: 1px;"));
    indicator->hide();
    return indicator;
}

QPointF mix(const QPointF& from, const QPointF& to, double progress) { return from + (to - from) * progress; }

}  // namespace

ScrollView::ScrollView(QWidget* parent) : View(parent) {
    QPointer<ScrollView> self(this);
    pan_ = std::make_shared<PanGestureRecognizer>([self](GestureRecognizer&) {
        if (self) self->handlePan();
    });
    pan_->setBeginCondition([self](const QPointF& translation) { return self && self->canScroll(translation); });
    addGestureRecognizer(pan_);
    pinch_ = std::make_shared<PinchGestureRecognizer>([self](GestureRecognizer&) {
        if (self) self->handlePinch();
    });
    addGestureRecognizer(pinch_);

    scroller_ = QScroller::scroller(this);
    QScrollerProperties properties = scroller_->scrollerProperties();
    properties.setScrollMetric(QScrollerProperties::DragStartDistance, 0.0);
    properties.setScrollMetric(QScrollerProperties::OvershootDragResistanceFactor, 0.5);
    properties.setScrollMetric(QScrollerProperties::OvershootDragDistanceFactor, 0.4);
    properties.setScrollMetric(QScrollerProperties::OvershootScrollDistanceFactor, 0.1);
    properties.setScrollMetric(QScrollerProperties::OvershootScrollTime, 0.4);
    scroller_->setScrollerProperties(properties);
    connect(scroller_, &QScroller::stateChanged, this, [this](QScroller::State state) { scrollerStateChanged(state); });

    verticalIndicator_ = makeIndicator(this);
    horizontalIndicator_ = makeIndicator(this);
}

ScrollView::~ScrollView() {
    if (scroller_) scroller_->disconnect(this);
}

QPointF ScrollView::minimumContentOffset() const { return QPointF(-contentInset_.left, -contentInset_.top); }

QPointF ScrollView::maximumContentOffset() const {
    const QPointF minimum = minimumContentOffset();
    const QSizeF size = bounds().size();
    return QPointF(std::max(minimum.x(), contentSize_.width() + contentInset_.right - size.width()),
                   std::max(minimum.y(), contentSize_.height() + contentInset_.bottom - size.height()));
}

QPointF ScrollView::clamped(const QPointF& offset) const {
    const QPointF minimum = minimumContentOffset();
    const QPointF maximum = maximumContentOffset();
    return QPointF(std::clamp(offset.x(), minimum.x(), maximum.x()), std::clamp(offset.y(), minimum.y(), maximum.y()));
}

bool ScrollView::canScroll(const QPointF& translation) const {
    if (!scrollEnabled_) return false;
    const QPointF range = maximumContentOffset() - minimumContentOffset();
    if (std::abs(translation.y()) >= std::abs(translation.x())) return range.y() > 0 || alwaysBounceVertical_;
    return range.x() > 0 || alwaysBounceHorizontal_;
}

void ScrollView::setContentOffset(const QPointF& offset, bool animated) {
    if (scroller_->state() != QScroller::Inactive && !tracking_) scroller_->stop();
    delete animationGuard_;
    animationGuard_ = nullptr;
    if (!animated) {
        applyOffset(offset);
        return;
    }
    animationGuard_ = new QObject(this);
    const QPointF from = contentOffset();
    QPointer<ScrollView> self(this);
    AnimationOptions options;
    options.duration = AnimatedScrollDuration;
    const QObject* guard = animationGuard_;
    ViewAnimation::run(
        options, animationGuard_,
        [self, from, offset](double progress) {
            if (self) self->applyOffset(mix(from, offset, progress));
        },
        [self, guard](bool finished) {
            if (!self || self->animationGuard_ != guard) return;
            self->animationGuard_->deleteLater();
            self->animationGuard_ = nullptr;
            if (auto delegate = self->delegate()) delegate->scrollViewDidEndScrollingAnimation(*self);
        });
}

void ScrollView::applyOffset(const QPointF& offset) {
    if (offset == contentOffset()) return;
    setBoundsOrigin(offset);
    updateIndicators();
    contentOffsetDidChange();
    if (refreshControl_) refreshControl_->scrollViewDidScroll(*this);
    if (auto delegate = this->delegate()) delegate->scrollViewDidScroll(*this);
}

void ScrollView::setContentSize(const QSizeF& size) {
    if (size == contentSize_) return;
    contentSize_ = size;
    updateIndicators();
    if (scroller_->state() != QScroller::Inactive) scroller_->resendPrepareEvent();
}

void ScrollView::setContentInset(const EdgeInsets& insets) {
    if (insets == contentInset_) return;
    contentInset_ = insets;
    if (scroller_->state() != QScroller::Inactive) scroller_->resendPrepareEvent();
    setNeedsLayout();
}

void ScrollView::setScrollIndicatorInsets(const EdgeInsets& insets) {
    indicatorInsets_ = insets;
    updateIndicators();
}

void ScrollView::scrollRectToVisible(const QRectF& rect, bool animated) {
    const QRectF visible = bounds();
    QPointF offset = visible.topLeft();
    if (rect.bottom() > visible.bottom()) offset.ry() += rect.bottom() - visible.bottom();
    if (rect.top() < offset.y()) offset.setY(rect.top());
    if (rect.right() > visible.right()) offset.rx() += rect.right() - visible.right();
    if (rect.left() < offset.x()) offset.setX(rect.left());
    setContentOffset(clamped(offset), animated);
}

void ScrollView::setScrollEnabled(bool enabled) {
    scrollEnabled_ = enabled;
    pan_->setEnabled(enabled);
}

void ScrollView::setShowsVerticalScrollIndicator(bool shows) {
    showsVertical_ = shows;
    updateIndicators();
}

void ScrollView::setShowsHorizontalScrollIndicator(bool shows) {
    showsHorizontal_ = shows;
    updateIndicators();
}

RefreshControl* ScrollView::refreshControl() const { return refreshControl_; }

void ScrollView::setRefreshControl(RefreshControl* control) {
    refreshControl_ = control;
    setNeedsLayout();
}

void ScrollView::handlePan() {
    using State = GestureRecognizer::State;
    const QPointF location = pan_->locationInView(this) - contentOffset();
    const QPointF windowLocation = pan_->locationInView(nullptr);
    Window* owner = window();
    switch (pan_->state()) {
        case State::Began: {
            delete animationGuard_;
            animationGuard_ = nullptr;
            tracking_ = true;
            const QPointF start = location - pan_->translationInView(this);
            scroller_->handleInput(QScroller::InputPress, start, now());
            scroller_->handleInput(QScroller::InputMove, location, now());
            if (owner && keyboardDismissMode_ == KeyboardDismissMode::OnDrag) owner->endEditing(true);
            break;
        }
        case State::Changed:
            scroller_->handleInput(QScroller::InputMove, location, now());
            if (owner && keyboardDismissMode_ == KeyboardDismissMode::Interactive) {
                owner->keyboard().trackInteractiveDismissal(windowLocation);
            }
            break;
        case State::Ended:
        case State::Cancelled:
            tracking_ = false;
            scroller_->handleInput(QScroller::InputRelease, location, now());
            if (owner && keyboardDismissMode_ == KeyboardDismissMode::Interactive &&
                owner->keyboard().endInteractiveDismissal(pan_->velocityInView(this).y())) {
                owner->endEditing(true);
            }
            break;
        default:
            break;
    }
}

void ScrollView::scrollerStateChanged(int state) {
    QPointer<ScrollView> self(this);
    const int previous = scrollerState_;
    scrollerState_ = state;
    auto delegate = this->delegate();
    if (state == QScroller::Dragging) {
        dragging_ = true;
        if (delegate) delegate->scrollViewWillBeginDragging(*this);
    } else if (previous == QScroller::Dragging) {
        dragging_ = false;
        const bool decelerates = state == QScroller::Scrolling;
        QPointF target = decelerates ? scroller_->finalPosition() : contentOffset();
        const QPointF proposed = target;
        if (delegate) delegate->scrollViewWillEndDragging(*this, scroller_->velocity(), target);
        if (!self) return;
        if (decelerates && target != proposed) scroller_->scrollTo(target);
        if (refreshControl_) refreshControl_->scrollViewDidEndDragging(*this);
        if (delegate) delegate->scrollViewDidEndDragging(*this, decelerates);
        if (!self) return;
        if (decelerates) {
            decelerating_ = true;
            if (delegate) delegate->scrollViewWillBeginDecelerating(*this);
        }
    } else if (state == QScroller::Inactive && previous == QScroller::Scrolling && decelerating_) {
        decelerating_ = false;
        if (delegate) delegate->scrollViewDidEndDecelerating(*this);
    }
    if (self) updateIndicators();
}

bool ScrollView::event(QEvent* event) {
    if (event->type() == QEvent::ScrollPrepare) {
        auto* prepare = static_cast<QScrollPrepareEvent*>(event);
        const QPointF minimum = minimumContentOffset();
        const QPointF maximum = maximumContentOffset();
        QScrollerProperties properties = scroller_->scrollerProperties();
        const auto policy = [this](bool scrollable, bool always) {
            return QVariant::fromValue(bounces_ && (scrollable || always) ? QScrollerProperties::OvershootAlwaysOn
                                                                          : QScrollerProperties::OvershootAlwaysOff);
        };
        properties.setScrollMetric(QScrollerProperties::VerticalOvershootPolicy,
                                   policy(maximum.y() > minimum.y(), alwaysBounceVertical_));
        properties.setScrollMetric(QScrollerProperties::HorizontalOvershootPolicy,
                                   policy(maximum.x() > minimum.x(), alwaysBounceHorizontal_));
        scroller_->setScrollerProperties(properties);
        prepare->setViewportSize(bounds().size());
        prepare->setContentPosRange(QRectF(minimum, maximum));
        prepare->setContentPos(contentOffset());
        if (pagingEnabled_) {
            scroller_->setSnapPositionsX(minimum.x(), std::max(1.0, bounds().width()));
            scroller_->setSnapPositionsY(minimum.y(), std::max(1.0, bounds().height()));
        }
        prepare->accept();
        return true;
    }
    if (event->type() == QEvent::Scroll) {
        auto* scroll = static_cast<QScrollEvent*>(event);
        applyOffset(scroll->contentPos() + scroll->overshootDistance());
        return true;
    }
    return View::event(event);
}

void ScrollView::wheelEvent(QWheelEvent* event) {
    if (!scrollEnabled_) {
        event->ignore();
        return;
    }
    const QPointF delta = !event->pixelDelta().isNull() ? QPointF(event->pixelDelta())
                                                        : QPointF(event->angleDelta()) / 8.0 * 2.0;
    setContentOffset(clamped(contentOffset() - delta));
    event->accept();
}

void ScrollView::layoutSubviews() {
    if (refreshControl_) {
        refreshControl_->setFrame(QRectF(0, -RefreshControl::Height, bounds().width(), RefreshControl::Height));
    }
    updateIndicators();
}

void ScrollView::updateIndicators() {
    const bool moving = dragging_ || decelerating_ || tracking_;
    const QRectF area = QRectF(rect());
    const QSizeF size = area.size();
    if (showsVertical_ && moving && contentSize_.height() > size.height() && size.height() > 0) {
        const double visible = size.height() - indicatorInsets_.top - indicatorInsets_.bottom;
        const double length = std::max(36.0, visible * size.height() / contentSize_.height());
        const double travel = visible - length;
        const double range = std::max(1.0, contentSize_.height() - size.height());
        const double progress = std::clamp(contentOffset().y() / range, 0.0, 1.0);
        verticalIndicator_->setGeometry(pixelAligned(
            QRectF(size.width() - 5, indicatorInsets_.top + travel * progress, 2.5, length)));
        verticalIndicator_->show();
        verticalIndicator_->raise();
    } else {
        verticalIndicator_->hide();
    }
    if (showsHorizontal_ && moving && contentSize_.width() > size.width() && size.width() > 0) {
        const double visible = size.width() - indicatorInsets_.left - indicatorInsets_.right;
        const double length = std::max(36.0, visible * size.width() / contentSize_.width());
        const double range = std::max(1.0, contentSize_.width() - size.width());
        const double progress = std::clamp(contentOffset().x() / range, 0.0, 1.0);
        horizontalIndicator_->setGeometry(pixelAligned(
            QRectF(indicatorInsets_.left + (visible - length) * progress, size.height() - 5, length, 2.5)));
        horizontalIndicator_->show();
        horizontalIndicator_->raise();
    } else {
        horizontalIndicator_->hide();
    }
}

void ScrollView::applyZoom(double scale, const QPointF& anchor) {
    auto delegate = this->delegate();
    View* zoomed = delegate ? delegate->viewForZooming(*this) : nullptr;
    if (!zoomed) return;
    if (zoomBaseSize_.isEmpty()) zoomBaseSize_ = zoomed->frame().size() / zoomScale_;
    const QPointF inView = anchor - contentOffset();
    const QPointF inContent = anchor / zoomScale_;
    zoomScale_ = scale;
    const QSizeF size = zoomBaseSize_ * scale;
    zoomed->setFrame(QRectF(QPointF(0, 0), size));
    contentSize_ = size;
    setBoundsOrigin(clamped(inContent * scale - inView));
    updateIndicators();
    contentOffsetDidChange();
    if (delegate) {
        delegate->scrollViewDidZoom(*this);
        delegate->scrollViewDidScroll(*this);
    }
}

void ScrollView::setZoomScale(double scale, bool animated) {
    scale = std::clamp(scale, minimumZoomScale_, std::max(minimumZoomScale_, maximumZoomScale_));
    const QPointF anchor = bounds().center();
    if (!animated) {
        applyZoom(scale, anchor);
        return;
    }
    const double from = zoomScale_;
    QPointer<ScrollView> self(this);
    AnimationOptions options;
    options.duration = AnimatedScrollDuration;
    ViewAnimation::run(options, this, [self, from, scale](double progress) {
        if (self) self->applyZoom(from + (scale - from) * progress, self->bounds().center());
    });
}

void ScrollView::zoomToRect(const QRectF& rect, bool animated) {
    if (rect.isEmpty()) return;
    const QSizeF size = bounds().size();
    const double scale = std::clamp(std::min(size.width() / rect.width(), size.height() / rect.height()),
                                    minimumZoomScale_, std::max(minimumZoomScale_, maximumZoomScale_));
    const double from = zoomScale_;
    const QPointF fromOffset = contentOffset();
    QPointer<ScrollView> self(this);
    auto apply = [self, from, scale, fromOffset, rect, size](double progress) {
        if (!self) return;
        const double current = from + (scale - from) * progress;
        self->applyZoom(current, self->contentOffset());
        const QPointF target = rect.center() * scale - QPointF(size.width() / 2, size.height() / 2);
        self->applyOffset(self->clamped(mix(fromOffset, target, progress)));
    };
    if (!animated) {
        apply(1);
        return;
    }
    AnimationOptions options;
    options.duration = AnimatedScrollDuration;
    ViewAnimation::run(options, this, apply);
}

void ScrollView::handlePinch() {
    using State = GestureRecognizer::State;
    auto delegate = this->delegate();
    View* zoomed = delegate ? delegate->viewForZooming(*this) : nullptr;
    if (!zoomed || maximumZoomScale_ <= minimumZoomScale_) return;
    switch (pinch_->state()) {
        case State::Began:
            zooming_ = true;
            pinchStartScale_ = zoomScale_;
            delegate->scrollViewWillBeginZooming(*this, zoomed);
            break;
        case State::Changed:
            applyZoom(std::clamp(pinchStartScale_ * pinch_->scale(), minimumZoomScale_, maximumZoomScale_),
                      pinch_->locationInView(this));
            break;
        case State::Ended:
        case State::Cancelled:
            zooming_ = false;
            if (auto current = this->delegate()) current->scrollViewDidEndZooming(*this, zoomed, zoomScale_);
            break;
        default:
            break;
    }
}

}  // namespace tovrin::ui
