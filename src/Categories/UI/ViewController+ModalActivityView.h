#pragma once

#include <QString>

namespace tovrin::ui {
class ViewController;
}

namespace tovrin {

// The key under which a controller keeps its overlay.
inline const QString MODALACTIVITYVIEWKEY = QStringLiteral("MODALACTIVITYVIEWKEY");

// Covers the controller's view (or its superview, when the view is exactly a plain scroll view)
// with a dimmed layer and a large white spinner, fading in over 0.4 s. False, with nothing changed,
// when there is no view to cover. An overlay the controller already shows is removed first.
bool tvr_presentModalActivityView(ui::ViewController& controller);
// Removes the controller's overlay at once; nothing without one.
void tvr_dismissModalActivityView(ui::ViewController& controller);

}  // namespace tovrin
