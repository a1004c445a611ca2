#include "UserInterface/CollapseWhenHiddenView.h"

#include "platform/ui/views/LayoutConstraint.h"

namespace tovrin {

CollapseWhenHiddenView::CollapseWhenHiddenView(QWidget* parent) : View(parent) {}

CollapseWhenHiddenView::~CollapseWhenHiddenView() = default;

void CollapseWhenHiddenView::setVisible(bool visible) {
    View::setVisible(visible);
    if (!visible && !specialHeightConstraint_) {
        // The toolkit has no solver: the constraint is kept here, and the layouts that stack the
        // view read its height through the intrinsic size.
        specialHeightConstraint_ = std::make_shared<ui::LayoutConstraint>(0, ui::LayoutConstraint::Required,
                                                                          QStringLiteral("height"));
        specialHeightConstraint_->setOwner(this);
    } else if (visible && specialHeightConstraint_) {
        specialHeightConstraint_->setOwner(nullptr);
        specialHeightConstraint_.reset();
    }
    invalidateIntrinsicContentSize();
}

QSizeF CollapseWhenHiddenView::intrinsicContentSize() const {
    return specialHeightConstraint_ ? QSizeF(0, 0) : View::intrinsicContentSize();
}

}  // namespace tovrin
