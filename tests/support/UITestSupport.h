#pragma once

#include <QPointF>
#include <QString>
#include <QStringList>
#include <optional>
#include <ostream>

#include "platform/ui/views/View.h"

namespace tovrin::ui {
class ScrollView;
class Window;
}  // namespace tovrin::ui

// Driving screens in tests: finding controls, touching and typing through real Qt events, and
// letting animations finish. Points are relative to the view's top-left corner as it shows on
// screen (for a scroll view: to its visible area, whatever the content offset).
namespace tovrin::test {

// The first view under the root (the root included) with that accessibility identifier.
ui::View* findView(const QWidget* root, const QString& identifier);
template <class T>
T* find(const QWidget* root, const QString& identifier) {
    return qobject_cast<T*>(findView(root, identifier));
}
// The first view whose accessibility label is the text.
ui::View* findViewByLabel(const QWidget* root, const QString& label);

// A mouse press and release at the point (the view's centre by default), through the window.
void tap(ui::View* view, std::optional<QPointF> point = std::nullopt);
void doubleTap(ui::View* view, std::optional<QPointF> point = std::nullopt);
// Presses at `from`, moves in steps to `to`, releases.
void drag(ui::View* view, const QPointF& from, const QPointF& to, int steps = 12);
enum class Direction { Left, Right, Up, Down };
void swipe(ui::View* view, Direction direction);

// Real key events to the widget with the keyboard focus.
void typeText(const QString& text);
void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Sets the offset and lets the views follow, as a finished scroll would.
void scrollTo(ui::ScrollView* scrollView, const QPointF& offset);

// Makes the responder first responder and waits until the keyboard has come up; false when it did not.
bool showKeyboard(ui::View* responder);
// Ends editing in the window and waits until the keyboard has gone.
bool hideKeyboard(ui::Window* window);

// Completes every running view animation and runs the completions.
void drainAnimations();

// Renders the widget into "<build folder>/screenshots/NAME.png" and answers the path.
QString saveScreenshot(QWidget* widget, const QString& name);

// Two fingers on a touch screen, either side of `center` on a level, moving from `fromSpread` to
// `toSpread` apart in steps (real touch events through the window).
void pinch(ui::View* view, const QPointF& center, double fromSpread, double toSpread, int steps = 6);

}  // namespace tovrin::test
