#pragma once

#include <QString>

namespace tovrin {

namespace ui {
class View;
}

// Fills the view with the first view of the nib, pinned to its four edges as it changes size, over
// a clear background; answers the nib's view. Any further top-level views of the nib are dropped.
ui::View* constrainViewToBoundsWithNibName(ui::View* view, const QString& nibName);

}  // namespace tovrin
