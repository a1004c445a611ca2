#include "UserInterface/ViewWithInputAccessoryView.h"

namespace tovrin {

ViewWithInputAccessoryView::ViewWithInputAccessoryView(QWidget* parent) : View(parent) {}

}  // namespace tovrin
