#include "platform/ui/scrolling/TableViewCell.h"

#include <QPainter>

#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/text/Font.h"
#include "platform/ui/text/Label.h"

namespace tovrin::ui {
namespace {

constexpr double Margin = 15;
constexpr double AccessoryWidth = 20;

}  // namespace

TableViewCell::TableViewCell(Style style, QWidget* parent)
    : CollectionViewCell(parent),
      style_(style),
      textLabel_(new Label(contentView())),
      detailTextLabel_(new Label(contentView())),
      imageView_(new ImageView(contentView())),
      deleteButton_(new Button(Button::Type::Custom, this)) {
    detailTextLabel_->setFont(Font::systemFont(style == Style::Subtitle ? 12 : 17));
    detailTextLabel_->setTextColor(QColor(142, 142, 147));
    if (style == Style::Value1) detailTextLabel_->setTextAlignment(Qt::AlignRight);
    deleteButton_->setTitle(QStringLiteral("Delete"));
    deleteButton_->setBackgroundColor(QColor(255, 59, 48));
    deleteButton_->setAccessibilityIdentifier(QStringLiteral("Delete"));
    deleteButton_->setHidden(true);
    auto* selected = new View();
    selected->setBackgroundColor(QColor(217, 217, 217));
    setSelectedBackgroundView(selected);
    setBackgroundColor(Qt::white);
}

void TableViewCell::setAccessoryType(AccessoryType type) {
    accessoryType_ = type;
    update();
    setNeedsLayout();
}

void TableViewCell::setAccessoryView(View* view) {
    delete accessoryView_.data();
    accessoryView_ = view;
    if (view) addSubview(view);
    setNeedsLayout();
}

void TableViewCell::setSelectionStyle(SelectionStyle style) {
    selectionStyle_ = style;
    setSelected(isSelected());
}

void TableViewCell::setSelected(bool selected) {
    CollectionViewCell::setSelected(selected);
    if (selectionStyle_ == SelectionStyle::None && selectedBackgroundView())
        selectedBackgroundView()->setHidden(true);
}

void TableViewCell::setHighlighted(bool highlighted) {
    CollectionViewCell::setHighlighted(highlighted);
    if (selectionStyle_ == SelectionStyle::None && selectedBackgroundView())
        selectedBackgroundView()->setHidden(true);
}

void TableViewCell::setSeparator(bool shown, const QColor& color, double leftInset) {
    separatorShown_ = shown;
    separatorColor_ = color;
    separatorInset_ = leftInset;
    update();
}

void TableViewCell::setEditingOffset(double offset) {
    editingOffset_ = std::min(0.0, offset);
    deleteButton_->setHidden(editingOffset_ == 0);
    setNeedsLayout();
    layoutIfNeeded();
}

void TableViewCell::prepareForReuse() {
    setEditingOffset(0);
    CollectionViewCell::prepareForReuse();
}

void TableViewCell::layoutSubviews() {
    CollectionViewCell::layoutSubviews();
    const QRectF area = bounds();
    contentView()->setFrame(area.translated(editingOffset_, 0));
    deleteButton_->setFrame(QRectF(area.right() + editingOffset_, 0, -editingOffset_, area.height()));
    double right = area.width() - Margin;
    if (accessoryView_) {
        const QSizeF size = accessoryView_->frame().size().isEmpty()
                                ? accessoryView_->sizeThatFits(area.size())
                                : accessoryView_->frame().size();
        accessoryView_->setFrame(QRectF(right - size.width() + editingOffset_,
                                        (area.height() - size.height()) / 2, size.width(), size.height()));
        right -= size.width() + 8;
    } else if (accessoryType_ != AccessoryType::None) {
        right -= AccessoryWidth;
    }
    double left = Margin;
    if (!imageView_->image().isNull()) {
        const QSizeF size = imageView_->image().size().boundedTo(QSizeF(area.height(), area.height()));
        imageView_->setFrame(QRectF(left, (area.height() - size.height()) / 2, size.width(), size.height()));
        left += size.width() + Margin;
    } else {
        imageView_->setFrame(QRectF());
    }
    const double width = std::max(0.0, right - left);
    switch (style_) {
        case Style::Default:
            textLabel_->setFrame(QRectF(left, 0, width, area.height()));
            detailTextLabel_->setFrame(QRectF());
            break;
        case Style::Value1:
            textLabel_->setFrame(QRectF(left, 0, width * 0.6, area.height()));
            detailTextLabel_->setFrame(QRectF(left + width * 0.4, 0, width * 0.6, area.height()));
            break;
        case Style::Subtitle:
            textLabel_->setFrame(QRectF(left, area.height() * 0.1, width, area.height() * 0.5));
            detailTextLabel_->setFrame(QRectF(left, area.height() * 0.55, width, area.height() * 0.35));
            break;
    }
}

void TableViewCell::drawRect(QPainter& painter, const QRectF& rect) {
    if (accessoryType_ != AccessoryType::None && !accessoryView_) {
        const QPointF mid(rect.right() - Margin - AccessoryWidth / 2 + editingOffset_, rect.center().y());
        painter.setPen(
            QPen(accessoryType_ == AccessoryType::Checkmark ? tintColor() : QColor(199, 199, 204), 2));
        if (accessoryType_ == AccessoryType::DisclosureIndicator) {
            painter.drawPolyline(
                QPolygonF({mid + QPointF(-3, -6), mid + QPointF(3, 0), mid + QPointF(-3, 6)}));
        } else {
            painter.drawPolyline(
                QPolygonF({mid + QPointF(-6, 0), mid + QPointF(-2, 4), mid + QPointF(6, -5)}));
        }
    }
    if (separatorShown_) {
        painter.setPen(QPen(separatorColor_, 0.5));
        painter.drawLine(QPointF(rect.left() + separatorInset_, rect.bottom() - 0.25),
                         QPointF(rect.right(), rect.bottom() - 0.25));
    }
}

}  // namespace tovrin::ui
