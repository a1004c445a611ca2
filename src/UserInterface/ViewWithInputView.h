#pragma once

#include "UserInterface/SettableInputView.h"
#include "platform/ui/views/View.h"

namespace tovrin {

// A plain view that becomes first responder and then shows its input view (a picker) in place of
// the keys. It stays tappable whatever was set, so that a tap can make it first responder.
class ViewWithInputView : public ui::View, public SettableInputView {
    Q_OBJECT
public:
    explicit ViewWithInputView(QWidget* parent = nullptr);

    bool canBecomeFirstResponder() const override { return true; }
    bool isUserInteractionEnabled() const override { return true; }

    // A shared widget handle (`ui::sharedWidget`).
    std::shared_ptr<ui::View> inputView() const override { return inputView_; }
    void setInputView(std::shared_ptr<ui::View> view) override { inputView_ = std::move(view); }

private:
    std::shared_ptr<ui::View> inputView_;
};

}  // namespace tovrin
