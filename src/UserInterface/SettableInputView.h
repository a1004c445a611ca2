#pragma once

#include <memory>

namespace tovrin {

namespace ui {
class View;
}

// A view whose input view callers can install, whatever its class.
class SettableInputView {
public:
    virtual ~SettableInputView() = default;
    virtual std::shared_ptr<ui::View> inputView() const = 0;
    virtual void setInputView(std::shared_ptr<ui::View> view) = 0;
};

}  // namespace tovrin
