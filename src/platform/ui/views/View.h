#pragma once

#include <QColor>
#include <QWidget>
#include <memory>
#include <vector>

#include "platform/ui/views/Geometry.h"
#include "platform/ui/views/Responder.h"

class QPainter;

namespace tovrin::ui {

class GestureRecognizer;
class LayoutConstraint;
class ViewController;
class Window;

// The base of everything on screen: a Qt widget with a phone toolkit's view model. Frames are in
// points (Qt logical pixels) relative to the superview and laid out in code in `layoutSubviews()`.
// Frame, transform and alpha are model values: inside an animation block (ViewAnimation) the widget
// moves to them over time while the getters already answer the new values.
//
// Views belong to the Qt parent tree: a superview deletes its subviews. A view taken out with
// `removeFromSuperview()` has no owner until it is added again; the view controller that owns a
// root view deletes it, any other removed view is deleted by whoever removed it.
class View : public QWidget, public Responder {
    Q_OBJECT
public:
    explicit View(QWidget* parent = nullptr);
    ~View() override;

    // Hierarchy. Subviews may be plain Qt widgets (leaf controls); only views take part in layout.
    void addSubview(QWidget* view);
    void insertSubviewBelow(QWidget* view, QWidget* sibling);
    void insertSubviewAbove(QWidget* view, QWidget* sibling);
    void bringSubviewToFront(QWidget* view);
    void sendSubviewToBack(QWidget* view);
    void removeFromSuperview();
    View* superview() const;
    std::vector<View*> subviews() const;
    Window* window() const;
    bool isDescendantOf(const QWidget* view) const;
    // The view controller whose root view this is, if any.
    ViewController* viewController() const { return viewController_; }

    // Geometry, in points.
    QRectF frame() const;
    void setFrame(const QRectF& frame);
    // The origin is where the view's own coordinate space starts: a scroll view's content offset.
    QRectF bounds() const { return QRectF(boundsOrigin_, frame_.size()); }
    QPointF center() const { return frame_.center(); }
    void setCenter(const QPointF& center);
    const Transform& transform() const { return transform_; }
    void setTransform(const Transform& transform);

    double alpha() const { return alpha_; }
    void setAlpha(double alpha);
    const QColor& backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(const QColor& color);
    // The tint of this view, or of the nearest superview that has one; the system blue otherwise.
    QColor tintColor() const;
    void setTintColor(const QColor& color);
    double cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(double radius);
    void setBorder(double width, const QColor& color);
    double borderWidth() const { return borderWidth_; }
    const QColor& borderColor() const { return borderColor_; }
    // Whether touches reach this view and its subviews. Virtual, so that a view may stay tappable
    // whatever was set.
    virtual bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }

    // Layout.
    void setNeedsLayout();
    bool needsLayout() const { return needsLayout_; }
    // Lays out this view now when it needs it, then its subviews that need it.
    void layoutIfNeeded();
    virtual QSizeF sizeThatFits(const QSizeF& size) const;
    void sizeToFit();
    // The size the view wants; negative components mean no preference.
    virtual QSizeF intrinsicContentSize() const { return QSizeF(-1, -1); }
    void invalidateIntrinsicContentSize();
    void addConstraint(std::shared_ptr<LayoutConstraint> constraint);
    const std::vector<std::shared_ptr<LayoutConstraint>>& constraints() const { return constraints_; }

    // Coordinates. A null view means the window.
    QPointF convertPoint(const QPointF& point, const QWidget* toView) const;
    QRectF convertRect(const QRectF& rect, const QWidget* toView) const;
    QPointF convertPointFrom(const QPointF& point, const QWidget* fromView) const;
    QRectF convertRectFrom(const QRectF& rect, const QWidget* fromView) const;

    // Touch handling: the deepest visible, interactive view whose `pointInside` holds.
    virtual View* hitTest(const QPointF& point);
    virtual bool pointInside(const QPointF& point) const;

    void addGestureRecognizer(std::shared_ptr<GestureRecognizer> recognizer);
    void removeGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer);
    const std::vector<std::shared_ptr<GestureRecognizer>>& gestureRecognizers() const {
        return gestureRecognizers_;
    }

    // Responding.
    Responder* nextResponder() const override;
    virtual bool canBecomeFirstResponder() const { return false; }
    virtual bool canResignFirstResponder() const { return true; }
    virtual bool becomeFirstResponder();
    virtual bool resignFirstResponder();
    // Whether the keyboard's keys come up for this responder (text inputs); any responder with an
    // input view brings the keyboard area up too.
    virtual bool isTextInput() const { return false; }
    bool isFirstResponder() const;
    // Resigns the first responder when it is this view or inside it; false when it refused.
    bool endEditing(bool force);
    // Asks the keyboard to take this responder's input views again.
    void reloadInputViews();

    // Accessibility: the identifier is the object name.
    QString accessibilityIdentifier() const { return objectName(); }
    void setAccessibilityIdentifier(const QString& identifier) { setObjectName(identifier); }
    virtual QString accessibilityLabel() const { return accessibleName(); }
    void setAccessibilityLabel(const QString& label) { setAccessibleName(label); }
    virtual QString accessibilityValue() const { return accessibilityValue_; }
    void setAccessibilityValue(const QString& value) { accessibilityValue_ = value; }
    virtual bool isAccessibilityElement() const { return isAccessibilityElement_; }
    void setIsAccessibilityElement(bool element) { isAccessibilityElement_ = element; }

    // The widget geometry shown now, which differs from `frame()` while an animation runs.
    QRectF presentationFrame() const { return QRectF(geometry()); }

signals:
    // The widget moved or changed size on screen, animated or not.
    void geometryChanged();

protected:
    // The widget that holds the subviews.
    QWidget* subviewContainer() const { return const_cast<View*>(this); }
    // Moves the coordinate space of the subviews (scrolling).
    void setBoundsOrigin(const QPointF& origin);
    virtual void layoutSubviews() {}
    virtual void drawRect(QPainter& painter, const QRectF& rect) {}
    virtual void willMoveToSuperview(View* newSuperview) {}
    virtual void didMoveToSuperview() {}
    virtual void tintColorDidChange() { update(); }
    // The window changed its first responder to or from this view.
    virtual void didBecomeFirstResponder() {}
    virtual void didResignFirstResponder() {}
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    friend class ViewController;
    friend class ViewAnimation;
    friend class Window;

    void attach(QWidget* view, const std::function<void()>& placement);
    void applyGeometry();
    QRect shownGeometry() const;
    QRectF externalFrame() const;
    void applyAlpha(double alpha);
    void setPresentedFrame(const QRectF& frame);
    void setPresentedTransform(const Transform& transform);
    void runLayout();
    void notifyTintChanged();
    bool isShowingModelGeometry() const;

    QRectF frame_;
    QRectF presentedFrame_;
    QPointF boundsOrigin_;
    Transform transform_;
    Transform presentedTransform_;
    double alpha_ = 1;
    QColor backgroundColor_;
    QColor tintColor_;
    double cornerRadius_ = 0;
    double borderWidth_ = 0;
    QColor borderColor_ = Qt::black;
    bool userInteractionEnabled_ = true;
    bool needsLayout_ = true;
    bool layoutPosted_ = false;
    bool applyingGeometry_ = false;
    bool isAccessibilityElement_ = false;
    QString accessibilityValue_;
    ViewController* viewController_ = nullptr;
    std::vector<std::shared_ptr<LayoutConstraint>> constraints_;
    std::vector<std::shared_ptr<GestureRecognizer>> gestureRecognizers_;
};

// The view that a widget belongs to: itself, or the nearest view among its ancestors.
View* enclosingView(const QWidget* widget);

// A widget handed out as a shared object (by the container, for example): the handle deletes it only
// while it has no Qt parent, so adding it to a view hands ownership to the view.
template <class W>
std::shared_ptr<W> sharedWidget(W* widget) {
    QPointer<W> guard(widget);
    return std::shared_ptr<W>(widget, [guard](W*) {
        if (guard && !guard->parent()) delete guard.data();
    });
}

}  // namespace tovrin::ui
