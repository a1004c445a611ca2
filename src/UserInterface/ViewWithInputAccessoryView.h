#pragma once

#include "platform/ui/views/View.h"

namespace tovrin {

// A plain view that becomes first responder with an accessory of its own; with neither keys nor an
// input view the keyboard shows the accessory alone at the bottom edge.
class ViewWithInputAccessoryView : public ui::View {
    Q_OBJECT
public:
    explicit ViewWithInputAccessoryView(QWidget* parent = nullptr);

    bool canBecomeFirstResponder() const override { return true; }

    // A shared widget handle (`ui::sharedWidget`).
    std::shared_ptr<ui::View> inputAccessoryView() const override { return inputAccessoryView_; }
    void setInputAccessoryView(std::shared_ptr<ui::View> view) { inputAccessoryView_ = std::move(view); }

private:
    std::shared_ptr<ui::View> inputAccessoryView_;
};

}  // namespace tovrin
