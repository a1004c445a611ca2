#pragma once

#include <QColor>
#include <QString>

#include "platform/ui/controls/Button.h"

namespace tovrin {

// A button whose normal and selected pictures are glyphs of the icon font or named images. Glyphs
// take the image colour, and show white while the button is held.
class ToggleButton : public ui::Button {
    Q_OBJECT
public:
    explicit ToggleButton(ui::Button::Type type = ui::Button::Type::Custom, QWidget* parent = nullptr);

    // The highlighted title colour also serves the selected and highlighted state, whenever it is set.
    void setTitleColor(const QColor& color, int state = Normal);

    const QColor& imageColor() const { return imageColor_; }
    void setImageColor(const QColor& color);
    const QString& normalIcon() const { return normalIcon_; }
    void setNormalIcon(const QString& icon);
    const QString& selectedIcon() const { return selectedIcon_; }
    void setSelectedIcon(const QString& icon);
    const QString& normalImageName() const { return normalImageName_; }
    void setNormalImageName(const QString& name);
    const QString& selectedImageName() const { return selectedImageName_; }
    void setSelectedImageName(const QString& name);

private:
    // The glyph a little larger than the title, with room after it before the title.
    ui::Image glyphImage(const QString& icon) const;
    // The named image with room after it before the title.
    static ui::Image widenedImage(const QString& name);

    QColor imageColor_;
    QString normalIcon_;
    QString selectedIcon_;
    QString normalImageName_;
    QString selectedImageName_;
};

}  // namespace tovrin
