#pragma once

#include <QPointer>

#include "platform/ui/scrolling/CollectionReusableView.h"

namespace tovrin::ui {

// A cell: its content goes into `contentView()`; the selected background shows while the cell is
// selected or highlighted.
class CollectionViewCell : public CollectionReusableView {
    Q_OBJECT
public:
    explicit CollectionViewCell(QWidget* parent = nullptr);

    View* contentView() const { return contentView_; }
    View* backgroundView() const { return backgroundView_; }
    void setBackgroundView(View* view);
    View* selectedBackgroundView() const { return selectedBackgroundView_; }
    void setSelectedBackgroundView(View* view);

    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool highlighted);

protected:
    void layoutSubviews() override;

private:
    void updateBackgrounds();

    View* contentView_;
    QPointer<View> backgroundView_;
    QPointer<View> selectedBackgroundView_;
    bool selected_ = false;
    bool highlighted_ = false;
};

}  // namespace tovrin::ui
