#pragma once

#include "platform/ui/scrolling/CollectionViewCell.h"

namespace tovrin::ui {

class Button;
class ImageView;
class Label;

// A row of a table view: text, detail text and an image in one of the standard arrangements, an
// accessory at the trailing edge, and a separator line. A swipe to the left may reveal a delete
// button behind it.
class TableViewCell : public CollectionViewCell {
    Q_OBJECT
public:
    enum class Style { Default, Value1, Subtitle };
    enum class AccessoryType { None, DisclosureIndicator, Checkmark };
    enum class SelectionStyle { None, Default };

    explicit TableViewCell(Style style = Style::Default, QWidget* parent = nullptr);

    Label* textLabel() const { return textLabel_; }
    Label* detailTextLabel() const { return detailTextLabel_; }
    ImageView* imageView() const { return imageView_; }
    AccessoryType accessoryType() const { return accessoryType_; }
    void setAccessoryType(AccessoryType type);
    View* accessoryView() const { return accessoryView_; }
    void setAccessoryView(View* view);
    SelectionStyle selectionStyle() const { return selectionStyle_; }
    void setSelectionStyle(SelectionStyle style);

    void setSeparator(bool shown, const QColor& color, double leftInset);
    // How far the content is pushed left to show the delete button (0 when closed).
    double editingOffset() const { return editingOffset_; }
    void setEditingOffset(double offset);
    Button* deleteButton() const { return deleteButton_; }

    void prepareForReuse() override;

protected:
    void layoutSubviews() override;
    void drawRect(QPainter& painter, const QRectF& rect) override;
    void setSelected(bool selected) override;
    void setHighlighted(bool highlighted) override;

private:
    Style style_;
    Label* textLabel_;
    Label* detailTextLabel_;
    ImageView* imageView_;
    Button* deleteButton_;
    QPointer<View> accessoryView_;
    AccessoryType accessoryType_ = AccessoryType::None;
    SelectionStyle selectionStyle_ = SelectionStyle::Default;
    bool separatorShown_ = true;
    QColor separatorColor_ = QColor(200, 199, 204);
    double separatorInset_ = 15;
    double editingOffset_ = 0;
};

}  // namespace tovrin::ui
