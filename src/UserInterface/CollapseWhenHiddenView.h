#pragma once

#include <memory>

#include "platform/ui/views/View.h"

namespace tovrin {

namespace ui {
class LayoutConstraint;
}

// A view whose height collapses to zero while it is hidden, so that the rows stacked with it close up.
class CollapseWhenHiddenView : public ui::View {
    Q_OBJECT
public:
    explicit CollapseWhenHiddenView(QWidget* parent = nullptr);
    ~CollapseWhenHiddenView() override;

    // The zero-height constraint, exactly while hidden.
    const std::shared_ptr<ui::LayoutConstraint>& specialHeightConstraint() const {
        return specialHeightConstraint_;
    }

    void setVisible(bool visible) override;
    // Zero while hidden.
    QSizeF intrinsicContentSize() const override;

private:
    std::shared_ptr<ui::LayoutConstraint> specialHeightConstraint_;
};

}  // namespace tovrin
