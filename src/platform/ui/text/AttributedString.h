#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>
#include <vector>

namespace tovrin::ui {

struct TextAttributes {
    std::optional<QFont> font;
    std::optional<QColor> foregroundColor;
    std::optional<QColor> backgroundColor;
    // Paragraph style.
    std::optional<double> lineHeightMultiple;
    std::optional<Qt::Alignment> alignment;

    // Later values win.
    void merge(const TextAttributes& other);
    friend bool operator==(const TextAttributes&, const TextAttributes&) = default;
};

// Text with attributes over ranges of it.
class AttributedString {
public:
    struct Run {
        int start;
        int length;
        TextAttributes attributes;
        friend bool operator==(const Run&, const Run&) = default;
    };

    AttributedString() = default;
    explicit AttributedString(QString text, const TextAttributes& attributes = {});

    const QString& string() const { return text_; }
    int length() const { return int(text_.size()); }
    bool isEmpty() const { return text_.isEmpty(); }
    // Runs cover the whole text, in order.
    const std::vector<Run>& runs() const { return runs_; }
    TextAttributes attributesAt(int index) const;

    void addAttributes(const TextAttributes& attributes, int start, int length);
    void append(const AttributedString& other);

    friend bool operator==(const AttributedString&, const AttributedString&) = default;

private:
    void splitAt(int index);

    QString text_;
    std::vector<Run> runs_;
};

}  // namespace tovrin::ui
