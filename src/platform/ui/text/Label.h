#pragma once

#include <optional>

#include "platform/ui/text/AttributedString.h"
#include "platform/ui/views/View.h"

namespace tovrin::ui {

struct TextShadow {
    QPointF offset;
    double blurRadius = 0;
    QColor color;
};

// Read-only text. A null text (`QString()`) and an empty one are told apart, as nil and "" are.
// The text is drawn vertically centred in the bounds; subclasses change the measuring
// (`textRectForBounds`) or the drawing (`drawTextInRect`).
class Label : public View {
    Q_OBJECT
public:
    explicit Label(QWidget* parent = nullptr);
    explicit Label(const QString& text, QWidget* parent = nullptr);

    const QString& text() const { return text_; }
    void setText(const QString& text);
    // The attributed text; a plain text reads as one run in the label's font and colour.
    AttributedString attributedText() const;
    void setAttributedText(const AttributedString& text);
    bool hasAttributedText() const { return attributed_.has_value(); }

    const QFont& font() const { return font_; }
    virtual void setFont(const QFont& font);
    const QColor& textColor() const { return textColor_; }
    void setTextColor(const QColor& color);
    Qt::Alignment textAlignment() const { return alignment_; }
    void setTextAlignment(Qt::Alignment alignment);
    // 0 means as many lines as the text needs.
    int numberOfLines() const { return numberOfLines_; }
    void setNumberOfLines(int lines);
    double preferredMaxLayoutWidth() const { return preferredMaxLayoutWidth_; }
    void setPreferredMaxLayoutWidth(double width);
    const std::optional<TextShadow>& shadow() const { return shadow_; }
    void setShadow(std::optional<TextShadow> shadow);

    QSizeF sizeThatFits(const QSizeF& size) const override;
    QSizeF intrinsicContentSize() const override;

    // The rectangle the text takes within the bounds, at most `numberOfLines` lines (0: no limit).
    virtual QRectF textRectForBounds(const QRectF& bounds, int numberOfLines) const;
    virtual void drawTextInRect(QPainter& painter, const QRectF& rect);

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;
    // Draws the text into the rectangle, with a shadow when one is given.
    void drawText(QPainter& painter, const QRectF& rect, const std::optional<TextShadow>& shadow);
    void textChanged();

private:
    QString text_;
    std::optional<AttributedString> attributed_;
    QFont font_;
    QColor textColor_ = Qt::black;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    int numberOfLines_ = 1;
    double preferredMaxLayoutWidth_ = 0;
    std::optional<TextShadow> shadow_;
};

}  // namespace tovrin::ui
