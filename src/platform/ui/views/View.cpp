#include "platform/ui/views/View.h"

#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/ViewController.h"
#include "platform/ui/input/GestureRecognizer.h"
#include "platform/ui/views/LayoutConstraint.h"
#include "platform/ui/views/Window.h"

namespace tovrin::ui {
namespace {

enum AnimatedProperty { FrameProperty, TransformProperty, AlphaProperty };

QRectF interpolate(const QRectF& from, const QRectF& to, double progress) {
    auto mix = [progress](double a, double b) { return a + (b - a) * progress; };
    return QRectF(mix(from.x(), to.x()), mix(from.y(), to.y()), mix(from.width(), to.width()),
                  mix(from.height(), to.height()));
}

bool isInShownWindow(const QWidget* widget) {
    const auto* window = qobject_cast<const Window*>(widget->window());
    return window && window->isVisible();
}

// Moving a subtree into or out of a shown window makes its view controllers appear or disappear.
class AppearanceChange {
public:
    AppearanceChange(QWidget* moved, const QWidget* destination) {
        const bool was = isInShownWindow(moved);
        appearing_ = destination && isInShownWindow(destination);
        if (was == appearing_) return;
        controllers_ = ViewController::automaticallyForwardedControllers(moved);
        for (auto& controller : controllers_) controller->beginAppearanceTransition(appearing_, false);
    }
    ~AppearanceChange() {
        for (auto& controller : controllers_) controller->endAppearanceTransition();
    }

private:
    bool appearing_ = false;
    std::vector<std::shared_ptr<ViewController>> controllers_;
};

}  // namespace

QPointF Touch::locationInView(const View* target) const {
    if (!target) return windowLocation;
    return target->convertPointFrom(windowLocation, nullptr);
}

void Responder::touchesBegan(const Touches& touches) {
    if (auto* next = nextResponder()) next->touchesBegan(touches);
}
void Responder::touchesMoved(const Touches& touches) {
    if (auto* next = nextResponder()) next->touchesMoved(touches);
}
void Responder::touchesEnded(const Touches& touches) {
    if (auto* next = nextResponder()) next->touchesEnded(touches);
}
void Responder::touchesCancelled(const Touches& touches) {
    if (auto* next = nextResponder()) next->touchesCancelled(touches);
}

View* enclosingView(const QWidget* widget) {
    for (auto* current = const_cast<QWidget*>(widget); current; current = current->parentWidget()) {
        if (auto* view = qobject_cast<View*>(current)) return view;
    }
    return nullptr;
}

View::View(QWidget* parent) : QWidget(parent) {
    setGeometry(0, 0, 0, 0);
    setFocusPolicy(Qt::NoFocus);
    // Made inside a shown view, it shows too, as an added subview would.
    if (parent) show();
}

View::~View() {
    if (auto* owner = window(); owner && owner != this && owner->firstResponder() == this) {
        owner->forgetFirstResponder();
    }
}

void View::addSubview(QWidget* view) {
    attach(view, [view] { view->raise(); });
}

void View::insertSubviewBelow(QWidget* view, QWidget* sibling) {
    attach(view, [view, sibling] {
        if (sibling && sibling->parentWidget() == view->parentWidget()) {
            view->stackUnder(sibling);
        } else {
            view->raise();
        }
    });
}

void View::insertSubviewAbove(QWidget* view, QWidget* sibling) {
    attach(view, [view, sibling] {
        view->raise();
        if (!sibling || sibling->parentWidget() != view->parentWidget()) return;
        // Everything that stood above the sibling goes back above the new view.
        const auto siblings = view->parentWidget()->children();
        bool above = false;
        for (QObject* object : siblings) {
            auto* widget = qobject_cast<QWidget*>(object);
            if (!widget || widget == view) continue;
            if (above) widget->raise();
            if (widget == sibling) above = true;
        }
    });
}

void View::attach(QWidget* view, const std::function<void()>& placement) {
    if (!view || view == this) return;
    auto* child = qobject_cast<View*>(view);
    QWidget* container = subviewContainer();
    const bool explicitlyHidden = view->isHidden() && view->testAttribute(Qt::WA_WState_ExplicitShowHide);
    if (child) child->willMoveToSuperview(this);
    {
        AppearanceChange change(view, container);
        if (view->parentWidget() != container) view->setParent(container);
        placement();
        if (!explicitlyHidden) view->show();
        if (child) child->applyGeometry();
    }
    if (child) {
        child->didMoveToSuperview();
        child->notifyTintChanged();
    }
}

void View::bringSubviewToFront(QWidget* view) {
    if (view && view->parentWidget() == subviewContainer()) view->raise();
}

void View::sendSubviewToBack(QWidget* view) {
    if (view && view->parentWidget() == subviewContainer()) view->lower();
}

void View::removeFromSuperview() {
    if (!parentWidget()) return;
    willMoveToSuperview(nullptr);
    if (auto* owner = window();
        owner && owner->firstResponder() && owner->firstResponder()->isDescendantOf(this)) {
        owner->forgetFirstResponder();
    }
    {
        AppearanceChange change(this, nullptr);
        setParent(nullptr);
    }
    didMoveToSuperview();
}

View* View::superview() const {
    return isWindow() ? nullptr : enclosingView(parentWidget());
}

std::vector<View*> View::subviews() const {
    std::vector<View*> views;
    for (QObject* object : subviewContainer()->children()) {
        if (auto* view = qobject_cast<View*>(object)) views.push_back(view);
    }
    return views;
}

Window* View::window() const {
    return qobject_cast<Window*>(QWidget::window());
}

bool View::isDescendantOf(const QWidget* view) const {
    for (const QWidget* current = this; current; current = current->parentWidget()) {
        if (current == view) return true;
    }
    return false;
}

QRectF View::frame() const {
    return frame_;
}

void View::setFrame(const QRectF& frame) {
    if (frame == frame_ && frame == presentedFrame_) return;
    const QSizeF oldSize = frame_.size();
    frame_ = frame;
    if (ViewAnimation::isCapturing()) {
        const QRectF from = presentedFrame_;
        QPointer<View> self(this);
        ViewAnimation::addTrack(this, FrameProperty, [self, from, frame](double progress) {
            if (self) self->setPresentedFrame(interpolate(from, frame, progress));
        });
    } else {
        ViewAnimation::cancelTrack(this, FrameProperty);
        setPresentedFrame(frame);
    }
    if (oldSize != frame.size()) setNeedsLayout();
}

void View::setCenter(const QPointF& center) {
    QRectF frame = frame_;
    frame.moveCenter(center);
    setFrame(frame);
}

void View::setTransform(const Transform& transform) {
    transform_ = transform;
    if (ViewAnimation::isCapturing()) {
        const Transform from = presentedTransform_;
        QPointer<View> self(this);
        ViewAnimation::addTrack(this, TransformProperty, [self, from, transform](double progress) {
            if (self) self->setPresentedTransform(Transform::interpolate(from, transform, progress));
        });
    } else {
        ViewAnimation::cancelTrack(this, TransformProperty);
        setPresentedTransform(transform);
    }
}

void View::setAlpha(double alpha) {
    alpha = std::clamp(alpha, 0.0, 1.0);
    alpha_ = alpha;
    if (ViewAnimation::isCapturing()) {
        auto* effect = qobject_cast<QGraphicsOpacityEffect*>(graphicsEffect());
        const double from = effect ? effect->opacity() : 1.0;
        QPointer<View> self(this);
        ViewAnimation::addTrack(this, AlphaProperty, [self, from, alpha](double progress) {
            if (self) self->applyAlpha(from + (alpha - from) * progress);
        });
    } else {
        ViewAnimation::cancelTrack(this, AlphaProperty);
        applyAlpha(alpha);
    }
}

void View::applyAlpha(double alpha) {
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(graphicsEffect());
    if (alpha >= 1) {
        if (effect) setGraphicsEffect(nullptr);
        return;
    }
    if (!effect) {
        effect = new QGraphicsOpacityEffect(this);
        setGraphicsEffect(effect);
    }
    effect->setOpacity(alpha);
}

void View::setPresentedFrame(const QRectF& frame) {
    presentedFrame_ = frame;
    applyGeometry();
}

void View::setPresentedTransform(const Transform& transform) {
    presentedTransform_ = transform;
    applyGeometry();
}

QRect View::shownGeometry() const {
    const auto* parent = qobject_cast<const View*>(parentWidget());
    const QPointF shift = parent ? parent->boundsOrigin_ : QPointF();
    return pixelAligned(presentedTransform_.apply(presentedFrame_).translated(-shift));
}

void View::applyGeometry() {
    // A view without a superview keeps its geometry too, so that adding it later places it.
    if (qobject_cast<Window*>(this)) return;
    applyingGeometry_ = true;
    setGeometry(shownGeometry());
    applyingGeometry_ = false;
}

void View::setBoundsOrigin(const QPointF& origin) {
    if (origin == boundsOrigin_) return;
    boundsOrigin_ = origin;
    for (QObject* object : children()) {
        if (auto* child = qobject_cast<View*>(object)) child->applyGeometry();
    }
}

bool View::isShowingModelGeometry() const {
    // A transformed view is only ever placed by the toolkit.
    return !presentedTransform_.isIdentity() || geometry() == shownGeometry();
}

void View::setBackgroundColor(const QColor& color) {
    backgroundColor_ = color;
    update();
}

QColor View::tintColor() const {
    for (const View* view = this; view; view = view->superview()) {
        if (view->tintColor_.isValid()) return view->tintColor_;
    }
    return QColor::fromRgbF(0, 0.478f, 1);
}

void View::setTintColor(const QColor& color) {
    tintColor_ = color;
    notifyTintChanged();
}

void View::notifyTintChanged() {
    tintColorDidChange();
    for (View* child : subviews()) {
        if (!child->tintColor_.isValid()) child->notifyTintChanged();
    }
}

void View::setCornerRadius(double radius) {
    cornerRadius_ = radius;
    update();
}

void View::setBorder(double width, const QColor& color) {
    borderWidth_ = width;
    borderColor_ = color;
    update();
}

void View::setNeedsLayout() {
    needsLayout_ = true;
    if (layoutPosted_) return;
    layoutPosted_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            layoutPosted_ = false;
            // Lay out from the topmost view that waits, so that superviews place subviews first.
            View* top = this;
            for (View* view = superview(); view && view->needsLayout_; view = view->superview()) top = view;
            top->layoutIfNeeded();
        },
        Qt::QueuedConnection);
}

void View::layoutIfNeeded() {
    if (needsLayout_) runLayout();
    for (View* child : subviews()) child->layoutIfNeeded();
}

void View::runLayout() {
    needsLayout_ = false;
    if (viewController_) viewController_->viewWillLayoutSubviews();
    layoutSubviews();
    if (viewController_) viewController_->viewDidLayoutSubviews();
}

QSizeF View::sizeThatFits(const QSizeF& size) const {
    const QSizeF intrinsic = intrinsicContentSize();
    return QSizeF(intrinsic.width() >= 0 ? intrinsic.width() : frame_.width(),
                  intrinsic.height() >= 0 ? intrinsic.height() : frame_.height());
}

void View::sizeToFit() {
    setFrame(QRectF(frame_.topLeft(), sizeThatFits(frame_.size())));
}

void View::invalidateIntrinsicContentSize() {
    if (auto* parent = superview()) parent->setNeedsLayout();
}

void View::addConstraint(std::shared_ptr<LayoutConstraint> constraint) {
    constraint->setOwner(this);
    constraints_.push_back(std::move(constraint));
    setNeedsLayout();
}

QRectF View::externalFrame() const {
    const auto* parent = qobject_cast<const View*>(parentWidget());
    return QRectF(geometry()).translated(parent ? parent->boundsOrigin_ : QPointF());
}

namespace {

QPointF originOf(const QWidget* widget) {
    const auto* view = qobject_cast<const View*>(widget);
    return view ? view->bounds().topLeft() : QPointF();
}

}  // namespace

QPointF View::convertPoint(const QPointF& point, const QWidget* toView) const {
    const QPointF global = mapToGlobal(point - boundsOrigin_);
    const QWidget* target = toView ? toView : QWidget::window();
    return target->mapFromGlobal(global) + originOf(target);
}

QRectF View::convertRect(const QRectF& rect, const QWidget* toView) const {
    return QRectF(convertPoint(rect.topLeft(), toView), rect.size());
}

QPointF View::convertPointFrom(const QPointF& point, const QWidget* fromView) const {
    const QWidget* source = fromView ? fromView : QWidget::window();
    return mapFromGlobal(source->mapToGlobal(point - originOf(source))) + boundsOrigin_;
}

QRectF View::convertRectFrom(const QRectF& rect, const QWidget* fromView) const {
    return QRectF(convertPointFrom(rect.topLeft(), fromView), rect.size());
}

View* View::hitTest(const QPointF& point) {
    if (isHidden() || !isUserInteractionEnabled() || alpha_ < 0.01 || !isEnabled()) return nullptr;
    if (!pointInside(point)) return nullptr;
    const auto children = subviewContainer()->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        auto* widget = qobject_cast<QWidget*>(*it);
        if (!widget || widget->isHidden()) continue;
        const QPointF local = widget->mapFrom(this, point);
        if (auto* view = qobject_cast<View*>(widget)) {
            if (View* hit = view->hitTest(local)) return hit;
        } else if (QRectF(widget->rect()).contains(local) &&
                   !widget->testAttribute(Qt::WA_TransparentForMouseEvents)) {
            return this;
        }
    }
    return this;
}

bool View::pointInside(const QPointF& point) const {
    return QRectF(rect()).contains(point);
}

void View::addGestureRecognizer(std::shared_ptr<GestureRecognizer> recognizer) {
    if (auto* previous = recognizer->view(); previous && previous != this) {
        previous->removeGestureRecognizer(recognizer);
    }
    recognizer->setView(this);
    gestureRecognizers_.push_back(std::move(recognizer));
}

void View::removeGestureRecognizer(const std::shared_ptr<GestureRecognizer>& recognizer) {
    if (std::erase(gestureRecognizers_, recognizer) > 0) recognizer->setView(nullptr);
}

Responder* View::nextResponder() const {
    if (viewController_) return viewController_;
    return superview();
}

bool View::becomeFirstResponder() {
    Window* owner = window();
    if (!owner || !canBecomeFirstResponder()) return false;
    return owner->makeFirstResponder(this);
}

bool View::resignFirstResponder() {
    Window* owner = window();
    if (!owner || owner->firstResponder() != this) return true;
    return owner->makeFirstResponder(nullptr);
}

bool View::isFirstResponder() const {
    Window* owner = window();
    return owner && owner->firstResponder() == this;
}

bool View::endEditing(bool force) {
    Window* owner = window();
    View* responder = owner ? owner->firstResponder() : nullptr;
    if (!responder || !responder->isDescendantOf(this)) return true;
    if (force) {
        owner->forceResignFirstResponder();
        return true;
    }
    return responder->resignFirstResponder();
}

void View::reloadInputViews() {
    if (isFirstResponder()) window()->reloadKeyboard();
}

void View::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(rect());
    if (cornerRadius_ > 0) {
        QPainterPath path;
        path.addRoundedRect(area, cornerRadius_, cornerRadius_);
        painter.setClipPath(path);
    }
    if (backgroundColor_.isValid() && backgroundColor_.alpha() > 0) painter.fillRect(area, backgroundColor_);
    drawRect(painter, area);
    if (borderWidth_ > 0) {
        painter.setClipping(false);
        QPen pen(borderColor_, borderWidth_);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const double half = borderWidth_ / 2;
        painter.drawRoundedRect(area.adjusted(half, half, -half, -half), cornerRadius_, cornerRadius_);
    }
}

void View::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (qobject_cast<Window*>(this)) {
        frame_ = presentedFrame_ = QRectF(QPointF(0, 0), QSizeF(size()));
        setNeedsLayout();
    } else if (!applyingGeometry_ && !isShowingModelGeometry()) {
        // Someone outside the toolkit resized the widget: the model follows.
        frame_ = presentedFrame_ = externalFrame();
        setNeedsLayout();
    }
    emit geometryChanged();
}

void View::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (!qobject_cast<Window*>(this) && !applyingGeometry_ && !isShowingModelGeometry()) {
        frame_ = presentedFrame_ = externalFrame();
    }
    emit geometryChanged();
}

void View::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    layoutIfNeeded();
}

}  // namespace tovrin::ui
