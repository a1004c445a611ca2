#include "platform/ui/text/Label.h"

#include <QPainter>
#include <cmath>

#include "platform/ui/text/Font.h"
#include "platform/ui/text/TextBlock.h"

namespace tovrin::ui {
namespace {

// Three box blurs approximate a Gaussian; the alpha channel is all a text shadow needs.
QImage blurred(const QImage& source, double radius) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int r = std::max(1, int(std::lround(radius / 2)));
    const int w = image.width();
    const int h = image.height();
    std::vector<int> alpha(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) alpha[size_t(y) * w + x] = qAlpha(line[x]);
    }
    std::vector<int> buffer(alpha.size());
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                int sum = 0;
                for (int k = -r; k <= r; ++k) sum += alpha[size_t(y) * w + std::clamp(x + k, 0, w - 1)];
                buffer[size_t(y) * w + x] = sum / (2 * r + 1);
            }
        }
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                int sum = 0;
                for (int k = -r; k <= r; ++k) sum += buffer[size_t(std::clamp(y + k, 0, h - 1)) * w + x];
                alpha[size_t(y) * w + x] = sum / (2 * r + 1);
            }
        }
    }
    QImage result(w, h, QImage::Format_Alpha8);
    for (int y = 0; y < h; ++y) {
        uchar* line = result.scanLine(y);
        for (int x = 0; x < w; ++x) line[x] = uchar(alpha[size_t(y) * w + x]);
    }
    return result;
}

}  // namespace

Label::Label(QWidget* parent) : View(parent), font_(Font::systemFont(17)) {}

Label::Label(const QString& text, QWidget* parent) : Label(parent) {
    setText(text);
}

void Label::setText(const QString& text) {
    text_ = text;
    attributed_.reset();
    textChanged();
}

AttributedString Label::attributedText() const {
    if (attributed_) return *attributed_;
    TextAttributes attributes;
    attributes.font = font_;
    attributes.foregroundColor = textColor_;
    return AttributedString(text_, attributes);
}

void Label::setAttributedText(const AttributedString& text) {
    attributed_ = text;
    text_ = text.string();
    textChanged();
}

void Label::setFont(const QFont& font) {
    font_ = font;
    textChanged();
}

void Label::setTextColor(const QColor& color) {
    textColor_ = color;
    update();
}

void Label::setTextAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

void Label::setNumberOfLines(int lines) {
    numberOfLines_ = std::max(0, lines);
    textChanged();
}

void Label::setPreferredMaxLayoutWidth(double width) {
    preferredMaxLayoutWidth_ = width;
    invalidateIntrinsicContentSize();
}

void Label::setShadow(std::optional<TextShadow> shadow) {
    shadow_ = std::move(shadow);
    update();
}

void Label::textChanged() {
    invalidateIntrinsicContentSize();
    update();
}

QRectF Label::textRectForBounds(const QRectF& bounds, int numberOfLines) const {
    const TextBlock block(attributed_ ? *attributed_ : AttributedString(text_), font_, textColor_, alignment_,
                          numberOfLines, bounds.width());
    if (text_.isEmpty()) return QRectF(bounds.topLeft(), QSizeF(0, 0));
    return QRectF(bounds.topLeft(), block.size());
}

QSizeF Label::sizeThatFits(const QSizeF& size) const {
    const double width = size.width() > 0 ? size.width() : 0;
    return textRectForBounds(QRectF(0, 0, width, 1e6), numberOfLines_).size();
}

QSizeF Label::intrinsicContentSize() const {
    return textRectForBounds(QRectF(0, 0, preferredMaxLayoutWidth_, 1e6), numberOfLines_).size();
}

void Label::drawRect(QPainter& painter, const QRectF& rect) {
    drawTextInRect(painter, rect);
}

void Label::drawTextInRect(QPainter& painter, const QRectF& rect) {
    drawText(painter, rect, shadow_);
}

void Label::drawText(QPainter& painter, const QRectF& rect, const std::optional<TextShadow>& shadow) {
    if (text_.isEmpty()) return;
    const TextBlock block(attributed_ ? *attributed_ : AttributedString(text_), font_, textColor_, alignment_,
                          numberOfLines_, rect.width());
    const QPointF origin(rect.left(),
                         rect.top() + std::max(0.0, (rect.height() - block.size().height()) / 2));
    if (shadow && shadow->color.alpha() > 0) {
        const int margin = int(std::ceil(shadow->blurRadius)) + 2;
        QImage mask(
            QSize(int(std::ceil(rect.width())) + 2 * margin, int(std::ceil(rect.height())) + 2 * margin),
            QImage::Format_ARGB32_Premultiplied);
        mask.fill(Qt::transparent);
        {
            QPainter maskPainter(&mask);
            block.draw(maskPainter, origin - rect.topLeft() + QPointF(margin, margin));
        }
        QImage shade = shadow->blurRadius > 0 ? blurred(mask, shadow->blurRadius) : mask;
        QImage colored(shade.size(), QImage::Format_ARGB32_Premultiplied);
        colored.fill(shadow->color);
        QPainter tint(&colored);
        tint.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        tint.drawImage(0, 0, shade);
        tint.end();
        painter.drawImage(rect.topLeft() + shadow->offset - QPointF(margin, margin), colored);
    }
    block.draw(painter, origin);
}

}  // namespace tovrin::ui
