#pragma once

#include <QString>

namespace tovrin::ui {
class NavigationController;
}

namespace tovrin {

// Walks the stack from the top screen down; the first screen that answers the named action gets it,
// then the stack pops (animated) to that screen. The top screen counts: then nothing is popped.
// False, with nothing changed, when no screen answers.
bool tvr_unwindToSelector(ui::NavigationController& navigationController, const QString& action);

}  // namespace tovrin
