#include "platform/ui/views/LayoutConstraint.h"

#include "platform/ui/views/View.h"

namespace tovrin::ui {

LayoutConstraint::LayoutConstraint(double constant, float priority, QString identifier)
    : constant_(constant), priority_(priority), identifier_(std::move(identifier)) {}

void LayoutConstraint::setConstant(double constant) {
    if (constant == constant_) return;
    constant_ = constant;
    changed();
}

void LayoutConstraint::setPriority(float priority) {
    if (priority == priority_) return;
    priority_ = priority;
    changed();
}

void LayoutConstraint::setActive(bool active) {
    if (active == active_) return;
    active_ = active;
    changed();
}

void LayoutConstraint::changed() {
    if (!owner_) return;
    owner_->setNeedsLayout();
    if (View* parent = owner_->superview()) parent->setNeedsLayout();
}

const LayoutConstraint* LayoutConstraint::winner(const LayoutConstraint* first,
                                                 const LayoutConstraint* second) {
    const bool firstCounts = first && first->isActive();
    const bool secondCounts = second && second->isActive();
    if (firstCounts && secondCounts) return second->priority() > first->priority() ? second : first;
    if (firstCounts) return first;
    return secondCounts ? second : nullptr;
}

}  // namespace tovrin::ui
