#include "support/UITestSupport.h"

#include <QDir>
#include <QPointer>
#include <QtTest/QTest>

#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/input/Keyboard.h"
#include "platform/ui/scrolling/ScrollView.h"
#include "platform/ui/views/Window.h"
#include "support/TestSupport.h"

namespace tovrin::test {
namespace {

template <class Match>
ui::View* search(const QWidget* root, const Match& match) {
    if (!root) return nullptr;
    if (auto* view = qobject_cast<ui::View*>(const_cast<QWidget*>(root)); view && match(*view)) return view;
    for (QObject* child : root->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget) continue;
        if (ui::View* found = search(widget, match)) return found;
    }
    return nullptr;
}

QPoint windowPoint(ui::View* view, const std::optional<QPointF>& point) {
    const QPointF local = point.value_or(QRectF(view->rect()).center());
    return view->mapTo(view->QWidget::window(), local.toPoint());
}

QWidget* windowOf(ui::View* view) {
    return view->QWidget::window();
}

// QTest delivers a mouse event to the widget it is given, so give it the one under the point, as
// the window system would.
struct Target {
    QWidget* widget;
    QPoint local;
};

Target targetAt(QWidget* window, const QPoint& windowPoint) {
    QWidget* widget = window->childAt(windowPoint);
    if (!widget) widget = window;
    return {widget, widget->mapFrom(window, windowPoint)};
}

}  // namespace

ui::View* findView(const QWidget* root, const QString& identifier) {
    return search(root, [&](const ui::View& view) { return view.accessibilityIdentifier() == identifier; });
}

ui::View* findViewByLabel(const QWidget* root, const QString& label) {
    return search(root, [&](const ui::View& view) { return view.accessibilityLabel() == label; });
}

void tap(ui::View* view, std::optional<QPointF> point) {
    const Target target = targetAt(windowOf(view), windowPoint(view, point));
    QPointer<QWidget> widget = target.widget;
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, target.local);
    if (widget) QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, target.local);
}

void doubleTap(ui::View* view, std::optional<QPointF> point) {
    tap(view, point);
    tap(view, point);
}

void drag(ui::View* view, const QPointF& from, const QPointF& to, int steps) {
    QWidget* window = windowOf(view);
    const QPoint start = windowPoint(view, from);
    const QPoint end = windowPoint(view, to);
    // Moves and the release go where the press went, as a mouse grab does.
    const Target target = targetAt(window, start);
    QPointer<QWidget> widget = target.widget;
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, target.local);
    for (int step = 1; step <= steps && widget; ++step) {
        const QPointF at = QPointF(start) + (QPointF(end) - QPointF(start)) * (double(step) / steps);
        QTest::mouseMove(widget, widget->mapFrom(window, at.toPoint()), 16);
    }
    if (widget) QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, widget->mapFrom(window, end), 16);
}

void swipe(ui::View* view, Direction direction) {
    const QRectF area(view->rect());
    const QPointF center = area.center();
    const double reach = std::min(area.width(), area.height()) * 0.4;
    QPointF delta;
    switch (direction) {
        case Direction::Left:
            delta = QPointF(-reach, 0);
            break;
        case Direction::Right:
            delta = QPointF(reach, 0);
            break;
        case Direction::Up:
            delta = QPointF(0, -reach);
            break;
        case Direction::Down:
            delta = QPointF(0, reach);
            break;
    }
    drag(view, center - delta / 2, center + delta / 2, 6);
}

void typeText(const QString& text) {
    QWidget* focus = QApplication::focusWidget();
    if (focus) QTest::keyClicks(focus, text);
}

void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* focus = QApplication::focusWidget();
    if (focus) QTest::keyClick(focus, key, modifiers);
}

void scrollTo(ui::ScrollView* scrollView, const QPointF& offset) {
    scrollView->setContentOffset(offset);
    scrollView->layoutIfNeeded();
}

bool showKeyboard(ui::View* responder) {
    if (!responder->becomeFirstResponder()) return false;
    ui::Window* window = responder->window();
    drainAnimations();
    return window && window->keyboard().isVisible();
}

bool hideKeyboard(ui::Window* window) {
    window->endEditing(true);
    drainMainQueue();
    drainAnimations();
    return !window->keyboard().isVisible();
}

void drainAnimations() {
    // Completions run later and may post further blocks or start new animations.
    for (int round = 0; round < 10; ++round) {
        ui::ViewAnimation::finishAll();
        for (int turn = 0; turn < 3; ++turn) drainMainQueue();
        if (ui::ViewAnimation::runningCount() == 0) return;
    }
}

QString saveScreenshot(QWidget* widget, const QString& name) {
    const QString folder = QStringLiteral(TOVRIN_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    widget->grab().save(path);
    return path;
}

void pinch(ui::View* view, const QPointF& center, double fromSpread, double toSpread, int steps) {
    // Qt deletes the device with the application.
    static QPointingDevice* const touchScreen = QTest::createTouchDevice();
    QWidget* window = windowOf(view);
    auto fingers = [&](double spread) {
        const QPointF half(spread / 2, 0);
        return std::pair{windowPoint(view, center - half), windowPoint(view, center + half)};
    };
    auto [first, second] = fingers(fromSpread);
    QTest::touchEvent(window, touchScreen).press(0, first).press(1, second);
    for (int step = 1; step <= steps; ++step) {
        std::tie(first, second) = fingers(fromSpread + (toSpread - fromSpread) * step / steps);
        QTest::touchEvent(window, touchScreen).move(0, first).move(1, second);
    }
    QTest::touchEvent(window, touchScreen).release(0, first).release(1, second);
}

}  // namespace tovrin::test
