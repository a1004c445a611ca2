#pragma once

#include <QPointer>
#include <memory>

#include "platform/ui/views/View.h"

namespace tovrin::ui {

class PanGestureRecognizer;
class PinchGestureRecognizer;
class RefreshControl;
class ScrollView;

class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate() = default;
    virtual void scrollViewDidScroll(ScrollView& scrollView) {}
    virtual void scrollViewWillBeginDragging(ScrollView& scrollView) {}
    virtual void scrollViewWillEndDragging(ScrollView& scrollView, const QPointF& velocity,
                                           QPointF& targetContentOffset) {}
    virtual void scrollViewDidEndDragging(ScrollView& scrollView, bool willDecelerate) {}
    virtual void scrollViewWillBeginDecelerating(ScrollView& scrollView) {}
    virtual void scrollViewDidEndDecelerating(ScrollView& scrollView) {}
    virtual void scrollViewDidEndScrollingAnimation(ScrollView& scrollView) {}
    virtual View* viewForZooming(ScrollView& scrollView) { return nullptr; }
    virtual void scrollViewWillBeginZooming(ScrollView& scrollView, View* view) {}
    virtual void scrollViewDidZoom(ScrollView& scrollView) {}
    virtual void scrollViewDidEndZooming(ScrollView& scrollView, View* view, double scale) {}
};

// Scrolls its subviews over a larger content area. The content offset is the origin of the
// bounds; subviews are placed in content coordinates. A drag (the pan recognizer, from mouse or
// touch) moves the content and a throw glides on; the delegate hears of
// each step. Zooming scales the delegate's zooming view, by pinching or in code.
//
// The content follows the finger exactly (rubber-banding past the ends when it bounces); a throw
// decays as a phone's scroll view does (0.998 per millisecond) and lands inside the content, or on
// a page when paging. The glide is a view animation, so the immediate mode of tests lands it at once.
class ScrollView : public View {
    Q_OBJECT
public:
    enum class KeyboardDismissMode { None, OnDrag, Interactive };

    explicit ScrollView(QWidget* parent = nullptr);
    ~ScrollView() override;

    QPointF contentOffset() const { return bounds().topLeft(); }
    void setContentOffset(const QPointF& offset, bool animated = false);
    const QSizeF& contentSize() const { return contentSize_; }
    void setContentSize(const QSizeF& size);
    const EdgeInsets& contentInset() const { return contentInset_; }
    void setContentInset(const EdgeInsets& insets);
    const EdgeInsets& scrollIndicatorInsets() const { return indicatorInsets_; }
    void setScrollIndicatorInsets(const EdgeInsets& insets);
    // The offsets the content rests between: from minus the top and left insets to the end of the
    // content plus the bottom and right insets.
    QPointF minimumContentOffset() const;
    QPointF maximumContentOffset() const;
    void scrollRectToVisible(const QRectF& rect, bool animated);
    // The offset moved into the resting range.
    QPointF clamped(const QPointF& offset) const;

    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool enabled);
    bool bounces() const { return bounces_; }
    void setBounces(bool bounces) { bounces_ = bounces; }
    void setAlwaysBounceVertical(bool bounce) { alwaysBounceVertical_ = bounce; }
    void setAlwaysBounceHorizontal(bool bounce) { alwaysBounceHorizontal_ = bounce; }
    bool isPagingEnabled() const { return pagingEnabled_; }
    void setPagingEnabled(bool enabled) { pagingEnabled_ = enabled; }
    void setShowsVerticalScrollIndicator(bool shows);
    void setShowsHorizontalScrollIndicator(bool shows);
    KeyboardDismissMode keyboardDismissMode() const { return keyboardDismissMode_; }
    void setKeyboardDismissMode(KeyboardDismissMode mode) { keyboardDismissMode_ = mode; }

    bool isTracking() const { return tracking_; }
    bool isDragging() const { return dragging_; }
    bool isDecelerating() const { return decelerating_; }
    bool isZooming() const { return zooming_; }

    double zoomScale() const { return zoomScale_; }
    void setZoomScale(double scale, bool animated = false);
    double minimumZoomScale() const { return minimumZoomScale_; }
    void setMinimumZoomScale(double scale) { minimumZoomScale_ = scale; }
    double maximumZoomScale() const { return maximumZoomScale_; }
    void setMaximumZoomScale(double scale) { maximumZoomScale_ = scale; }
    void zoomToRect(const QRectF& rect, bool animated);

    const std::shared_ptr<PanGestureRecognizer>& panGestureRecognizer() const { return pan_; }
    const std::shared_ptr<PinchGestureRecognizer>& pinchGestureRecognizer() const { return pinch_; }

    std::shared_ptr<ScrollViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<ScrollViewDelegate> delegate) { delegate_ = std::move(delegate); }

    RefreshControl* refreshControl() const;
    void setRefreshControl(RefreshControl* control);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void layoutSubviews() override;
    // Called after every change of the content offset, before the delegate hears of it.
    virtual void contentOffsetDidChange() {}

private:
    void applyOffset(const QPointF& offset);
    void handlePan();
    void handlePinch();
    void beginDrag();
    void drag(const QPointF& translation);
    void endDrag(const QPointF& velocity);
    void glide(const QPointF& target, double duration, bool decay);
    void finishGlide();
    QPointF rubberBanded(const QPointF& offset) const;
    void updateIndicators();
    bool canScroll(const QPointF& translation) const;
    void applyZoom(double scale, const QPointF& anchor);

    QSizeF contentSize_;
    EdgeInsets contentInset_;
    EdgeInsets indicatorInsets_;
    bool scrollEnabled_ = true;
    bool bounces_ = true;
    bool alwaysBounceVertical_ = false;
    bool alwaysBounceHorizontal_ = false;
    bool pagingEnabled_ = false;
    bool showsVertical_ = true;
    bool showsHorizontal_ = true;
    KeyboardDismissMode keyboardDismissMode_ = KeyboardDismissMode::None;
    bool tracking_ = false;
    bool dragging_ = false;
    bool decelerating_ = false;
    bool zooming_ = false;
    QPointF dragStartOffset_;
    double zoomScale_ = 1;
    double minimumZoomScale_ = 1;
    double maximumZoomScale_ = 1;
    QSizeF zoomBaseSize_;
    double pinchStartScale_ = 1;
    std::shared_ptr<PanGestureRecognizer> pan_;
    std::shared_ptr<PinchGestureRecognizer> pinch_;
    std::weak_ptr<ScrollViewDelegate> delegate_;
    QPointer<RefreshControl> refreshControl_;
    QWidget* verticalIndicator_ = nullptr;
    QWidget* horizontalIndicator_ = nullptr;
    QObject* animationGuard_ = nullptr;
};

}  // namespace tovrin::ui
