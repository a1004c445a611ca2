#include "UserInterface/IconLabel.h"

#include "platform/ui/text/Font.h"
#include "platform/ui/text/IconFont.h"

namespace tovrin {

IconLabel::IconLabel(QWidget* parent) : ui::Label(parent) {
    setFont(font());
}

void IconLabel::setIcon(const QString& icon) {
    setText(ui::IconFont::stringForIconName(icon));
    ui::Label::setFont(ui::IconFont::fontOfSize(ui::Font::pointSize(font())));
    icon_ = icon;
}

void IconLabel::setFont(const QFont& font) {
    ui::Label::setFont(ui::IconFont::fontOfSize(ui::Font::pointSize(font)));
}

}  // namespace tovrin
