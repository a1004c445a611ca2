#pragma once

#include <QPointer>

#include "UserInterface/CollapseWhenHiddenView.h"
#include "UserInterface/VisuallySeparable.h"

namespace tovrin {

class HairlineView;

// A row that collapses while hidden, with a hairline along its bottom edge that can be switched off.
class VisuallySeparableView : public CollapseWhenHiddenView, public VisuallySeparable {
    Q_OBJECT
public:
    // How far the line reaches beyond each side (the superview clips what lies beyond the row).
    static constexpr double SeparatorOverhang = 10;

    explicit VisuallySeparableView(QWidget* parent = nullptr);

    HairlineView* hairlineView() const { return hairlineView_; }
    bool showSeparator() const override;
    void setShowSeparator(bool show) override;

protected:
    void layoutSubviews() override;

private:
    QPointer<HairlineView> hairlineView_;
};

}  // namespace tovrin
