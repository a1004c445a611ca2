#include "Categories/UI/AttributedString+Tovrin.h"

#include "Categories/UI/Color+Tovrin.h"

namespace tovrin {

ui::AttributedString tvr_attributedString(const QString& text, const QColor& color) {
    ui::TextAttributes attributes;
    attributes.foregroundColor = color;
    return ui::AttributedString(text, attributes);
}

ui::AttributedString tvr_attributedPlaceholder(const QString& text) {
    return tvr_attributedString(text, tovrinTextFieldPlaceholderTextColor());
}

}  // namespace tovrin
