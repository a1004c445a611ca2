#include "platform/ui/text/TextBlock.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace tovrin::ui {

TextBlock::TextBlock(const AttributedString& text, const QFont& font, const QColor& color,
                     Qt::Alignment alignment, int numberOfLines, double width)
    : font_(font), color_(color), alignment_(alignment), width_(width) {
    QString content = text.string();
    content.replace(QLatin1Char('\n'), QChar::LineSeparator);
    layout_ = std::make_unique<QTextLayout>(content, font);
    double lineHeightMultiple = 1;
    for (const auto& run : text.runs()) {
        QTextCharFormat format;
        if (run.attributes.font) format.setFont(*run.attributes.font);
        format.setForeground(run.attributes.foregroundColor.value_or(color));
        if (run.attributes.backgroundColor) format.setBackground(*run.attributes.backgroundColor);
        if (run.attributes.lineHeightMultiple) lineHeightMultiple = *run.attributes.lineHeightMultiple;
        if (run.attributes.alignment) alignment_ = *run.attributes.alignment;
        formats_.push_back({run.start, run.length, format});
    }
    layout_->setFormats(formats_);
    QTextOption option(alignment_);
    option.setWrapMode(numberOfLines == 1 ? QTextOption::NoWrap : QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout_->setTextOption(option);
    layout_->beginLayout();
    double y = 0;
    double widest = 0;
    while (true) {
        QTextLine line = layout_->createLine();
        if (!line.isValid()) break;
        if (numberOfLines > 0 && lines_ == numberOfLines) {
            truncated_ = true;
            break;
        }
        line.setLineWidth(width > 0 ? width : 1e6);
        line.setPosition(QPointF(0, y));
        y += line.height() * lineHeightMultiple;
        widest = std::max(widest, line.naturalTextWidth());
        ++lines_;
    }
    layout_->endLayout();
    if (lines_ > 0 && width > 0 && widest > width) truncated_ = true;
    if (lines_ == 0) y = QFontMetricsF(font).height();
    size_ = QSizeF(std::ceil(width > 0 ? std::min(widest, width) : widest), std::ceil(y));
}

void TextBlock::draw(QPainter& painter, const QPointF& topLeft) const {
    const double width = width_ > 0 ? width_ : size_.width();
    for (int index = 0; index < lines_; ++index) {
        const QTextLine line = layout_->lineAt(index);
        const bool last = index == lines_ - 1;
        if (!(last && truncated_)) {
            line.draw(&painter, topLeft);
            continue;
        }
        // The rest of the text on one shortened line, in the format where the line starts.
        const QString rest = layout_->text().mid(line.textStart());
        const int start = line.textStart();
        QFont font = font_;
        QColor color = color_;
        for (const auto& format : formats_) {
            if (start >= format.start && start < format.start + format.length) {
                if (format.format.hasProperty(QTextFormat::FontFamilies) ||
                    format.format.hasProperty(QTextFormat::FontPixelSize)) {
                    font = format.format.font();
                }
                color = format.format.foreground().color();
            }
        }
        const QFontMetricsF metrics(font);
        const QString elided = metrics.elidedText(rest, Qt::ElideRight, width);
        const double textWidth = metrics.horizontalAdvance(elided);
        double x = topLeft.x();
        if (alignment_ & Qt::AlignHCenter) x += (width - textWidth) / 2;
        if (alignment_ & Qt::AlignRight) x += width - textWidth;
        painter.save();
        painter.setFont(font);
        painter.setPen(color);
        painter.drawText(QPointF(x, topLeft.y() + line.y() + line.ascent()), elided);
        painter.restore();
    }
}

}  // namespace tovrin::ui
