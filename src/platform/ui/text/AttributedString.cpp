#include "platform/ui/text/AttributedString.h"

namespace tovrin::ui {

void TextAttributes::merge(const TextAttributes& other) {
    if (other.font) font = other.font;
    if (other.foregroundColor) foregroundColor = other.foregroundColor;
    if (other.backgroundColor) backgroundColor = other.backgroundColor;
    if (other.lineHeightMultiple) lineHeightMultiple = other.lineHeightMultiple;
    if (other.alignment) alignment = other.alignment;
}

AttributedString::AttributedString(QString text, const TextAttributes& attributes) : text_(std::move(text)) {
    if (!text_.isEmpty()) runs_.push_back({0, int(text_.size()), attributes});
}

TextAttributes AttributedString::attributesAt(int index) const {
    for (const auto& run : runs_) {
        if (index >= run.start && index < run.start + run.length) return run.attributes;
    }
    return {};
}

void AttributedString::splitAt(int index) {
    for (size_t i = 0; i < runs_.size(); ++i) {
        Run& run = runs_[i];
        if (index <= run.start || index >= run.start + run.length) continue;
        Run tail{index, run.start + run.length - index, run.attributes};
        run.length = index - run.start;
        runs_.insert(runs_.begin() + long(i) + 1, tail);
        return;
    }
}

void AttributedString::addAttributes(const TextAttributes& attributes, int start, int length) {
    start = std::clamp(start, 0, this->length());
    const int end = std::clamp(start + length, start, this->length());
    splitAt(start);
    splitAt(end);
    for (auto& run : runs_) {
        if (run.start >= start && run.start + run.length <= end) run.attributes.merge(attributes);
    }
}

void AttributedString::append(const AttributedString& other) {
    const int offset = length();
    text_ += other.text_;
    for (Run run : other.runs_) {
        run.start += offset;
        runs_.push_back(run);
    }
}

}  // namespace tovrin::ui
