#include "platform/ui/scrolling/ScrollView.h"

#include <QWheelEvent>
#include <cmath>

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controls/RefreshControl.h"
#include "platform/ui/input/Keyboard.h"
#include "platform/ui/input/PanGestureRecognizer.h"
#include "platform/ui/input/PinchGestureRecognizer.h"
#include "platform/ui/views/Window.h"

namespace tovrin::ui {
namespace {

constexpr double AnimatedScrollDuration = 0.3;
// A throw loses this share of its speed every millisecond.
constexpr double DecelerationRate = 0.998;
constexpr double MinimumThrowSpeed = 50;
constexpr double BounceBackDuration = 0.4;

QWidget* makeIndicator(QWidget* parent) {
    auto* indicator = new QWidget(parent);
    indicator->setAttribute(Qt::WA_TransparentForMouseEvents);
    indicator->setAttribute(Qt::WA_StyledBackground);
    indicator->setStyleSheet(QStringLiteral("background: rgba(0, 0, 0, 90); border-radius: 1px;"));
    indicator->hide();
    return indicator;
}

QPointF mix(const QPointF& from, const QPointF& to, double progress) {
    return from + (to - from) * progress;
}

}  // namespace

ScrollView::ScrollView(QWidget* parent) : View(parent) {
    QPointer<ScrollView> self(this);
    pan_ = std::make_shared<PanGestureRecognizer>([self](GestureRecognizer&) {
        if (self) self->handlePan();
    });
    pan_->setBeginCondition(
        [self](const QPointF& translation) { return self && self->canScroll(translation); });
    addGestureRecognizer(pan_);
    pinch_ = std::make_shared<PinchGestureRecognizer>([self](GestureRecognizer&) {
        if (self) self->handlePinch();
    });
    addGestureRecognizer(pinch_);

    verticalIndicator_ = makeIndicator(this);
    horizontalIndicator_ = makeIndicator(this);
}

ScrollView::~ScrollView() = default;

QPointF ScrollView::minimumContentOffset() const {
    return QPointF(-contentInset_.left, -contentInset_.top);
}

QPointF ScrollView::maximumContentOffset() const {
    const QPointF minimum = minimumContentOffset();
    const QSizeF size = bounds().size();
    return QPointF(std::max(minimum.x(), contentSize_.width() + contentInset_.right - size.width()),
                   std::max(minimum.y(), contentSize_.height() + contentInset_.bottom - size.height()));
}

QPointF ScrollView::clamped(const QPointF& offset) const {
    const QPointF minimum = minimumContentOffset();
    const QPointF maximum = maximumContentOffset();
    return QPointF(std::clamp(offset.x(), minimum.x(), maximum.x()),
                   std::clamp(offset.y(), minimum.y(), maximum.y()));
}

bool ScrollView::canScroll(const QPointF& translation) const {
    if (!scrollEnabled_) return false;
    const QPointF range = maximumContentOffset() - minimumContentOffset();
    if (std::abs(translation.y()) >= std::abs(translation.x())) return range.y() > 0 || alwaysBounceVertical_;
    return range.x() > 0 || alwaysBounceHorizontal_;
}

void ScrollView::setContentOffset(const QPointF& offset, bool animated) {
    if (decelerating_) finishGlide();
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
}

void ScrollView::setContentInset(const EdgeInsets& insets) {
    if (insets == contentInset_) return;
    contentInset_ = insets;
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

RefreshControl* ScrollView::refreshControl() const {
    return refreshControl_;
}

void ScrollView::setRefreshControl(RefreshControl* control) {
    refreshControl_ = control;
    setNeedsLayout();
}

void ScrollView::handlePan() {
    using State = GestureRecognizer::State;
    Window* owner = window();
    switch (pan_->state()) {
        case State::Began:
            beginDrag();
            if (owner && keyboardDismissMode_ == KeyboardDismissMode::OnDrag) owner->endEditing(true);
            break;
        case State::Changed:
            drag(pan_->translationInView(this));
            if (owner && keyboardDismissMode_ == KeyboardDismissMode::Interactive) {
                owner->keyboard().trackInteractiveDismissal(pan_->locationInView(nullptr));
            }
            break;
        case State::Ended:
        case State::Cancelled:
            drag(pan_->translationInView(this));
            endDrag(pan_->state() == State::Ended ? pan_->velocityInView(this) : QPointF());
            if (owner && keyboardDismissMode_ == KeyboardDismissMode::Interactive &&
                owner->keyboard().endInteractiveDismissal(pan_->velocityInView(this).y())) {
                owner->endEditing(true);
            }
            break;
        default:
            break;
    }
}

void ScrollView::beginDrag() {
    delete animationGuard_;
    animationGuard_ = nullptr;
    decelerating_ = false;
    tracking_ = true;
    dragging_ = true;
    dragStartOffset_ = contentOffset();
    updateIndicators();
    if (auto delegate = this->delegate()) delegate->scrollViewWillBeginDragging(*this);
}

QPointF ScrollView::rubberBanded(const QPointF& offset) const {
    const QPointF inside = clamped(offset);
    if (!bounces_) return inside;
    // Past the ends the content moves half as far as the finger.
    return inside + (offset - inside) * 0.5;
}

void ScrollView::drag(const QPointF& translation) {
    if (!dragging_) return;
    QPointF offset = dragStartOffset_ - translation;
    const QPointF range = maximumContentOffset() - minimumContentOffset();
    if (range.x() <= 0 && !alwaysBounceHorizontal_) offset.setX(dragStartOffset_.x());
    if (range.y() <= 0 && !alwaysBounceVertical_) offset.setY(dragStartOffset_.y());
    applyOffset(rubberBanded(offset));
}

void ScrollView::endDrag(const QPointF& velocity) {
    if (!dragging_) return;
    QPointer<ScrollView> self(this);
    tracking_ = false;
    dragging_ = false;
    // Content moves against the finger.
    QPointF speed = -velocity;
    const QPointF range = maximumContentOffset() - minimumContentOffset();
    if (range.x() <= 0) speed.setX(0);
    if (range.y() <= 0) speed.setY(0);
    const bool thrown = std::hypot(speed.x(), speed.y()) > MinimumThrowSpeed;
    const double travel = DecelerationRate / (1 - DecelerationRate) / 1000.0;
    QPointF target = contentOffset() + (thrown ? speed * travel : QPointF());
    if (pagingEnabled_) {
        const QSizeF page = bounds().size();
        auto snap = [](double start, double value, double size, double direction) {
            if (size <= 0) return value;
            const double current = std::round(start / size);
            const double moved = direction > 0   ? current + 1
                                 : direction < 0 ? current - 1
                                                 : std::round(value / size);
            return moved * size;
        };
        const QPointF start = dragStartOffset_;
        const QPointF pulled = contentOffset() - start;
        auto direction = [](double pull, double throwSpeed, double size) {
            if (std::abs(throwSpeed) > MinimumThrowSpeed) return throwSpeed;
            return std::abs(pull) > size / 2 ? pull : 0.0;
        };
        target = QPointF(snap(start.x(), contentOffset().x(), page.width(),
                              direction(pulled.x(), speed.x(), page.width())),
                         snap(start.y(), contentOffset().y(), page.height(),
                              direction(pulled.y(), speed.y(), page.height())));
    }
    target = clamped(target);
    const bool decelerates = target != contentOffset();
    auto delegate = this->delegate();
    const QPointF proposed = target;
    if (delegate) delegate->scrollViewWillEndDragging(*this, velocity, target);
    if (!self) return;
    if (target != proposed) target = clamped(target);
    if (refreshControl_) refreshControl_->scrollViewDidEndDragging(*this);
    if (delegate) delegate->scrollViewDidEndDragging(*this, decelerates);
    if (!self) return;
    if (!decelerates) {
        updateIndicators();
        return;
    }
    decelerating_ = true;
    if (delegate) delegate->scrollViewWillBeginDecelerating(*this);
    if (!self) return;
    const bool outside = contentOffset() != clamped(contentOffset());
    const double speedAlong = std::hypot(speed.x(), speed.y());
    const double duration =
        thrown && !outside && !pagingEnabled_
            ? std::clamp(std::log(MinimumThrowSpeed / speedAlong) / std::log(DecelerationRate) / 1000.0, 0.2,
                         3.0)
            : BounceBackDuration;
    glide(target, duration, thrown && !outside && !pagingEnabled_);
}

void ScrollView::glide(const QPointF& target, double duration, bool decay) {
    animationGuard_ = new QObject(this);
    const QObject* guard = animationGuard_;
    const QPointF from = contentOffset();
    QPointer<ScrollView> self(this);
    AnimationOptions options;
    options.duration = duration;
    options.curve = decay ? AnimationCurve::Linear : AnimationCurve::EaseOut;
    const double milliseconds = duration * 1000;
    ViewAnimation::run(
        options, animationGuard_,
        [self, from, target, decay, milliseconds](double progress) {
            if (!self) return;
            // Exponential decay, scaled so that it reaches the target at the end.
            const double eased = decay ? (1 - std::pow(DecelerationRate, progress * milliseconds)) /
                                             (1 - std::pow(DecelerationRate, milliseconds))
                                       : progress;
            self->applyOffset(mix(from, target, eased));
        },
        [self, guard](bool) {
            if (self && self->animationGuard_ == guard) self->finishGlide();
        });
}

void ScrollView::finishGlide() {
    if (!decelerating_) return;
    decelerating_ = false;
    if (animationGuard_) animationGuard_->deleteLater();
    animationGuard_ = nullptr;
    updateIndicators();
    if (auto delegate = this->delegate()) delegate->scrollViewDidEndDecelerating(*this);
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
        refreshControl_->setFrame(
            QRectF(0, -RefreshControl::Height, bounds().width(), RefreshControl::Height));
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
        verticalIndicator_->setGeometry(
            pixelAligned(QRectF(size.width() - 5, indicatorInsets_.top + travel * progress, 2.5, length)));
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
