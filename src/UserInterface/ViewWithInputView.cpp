#include "UserInterface/ViewWithInputView.h"

namespace tovrin {

ViewWithInputView::ViewWithInputView(QWidget* parent) : View(parent) {}

}  // namespace tovrin
