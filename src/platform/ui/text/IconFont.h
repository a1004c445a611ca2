#pragma once

#include <QFont>
#include <QString>

namespace tovrin::ui {

// The icon font, a free glyph font bundled as a resource (":/fonts/fontawesome-webfont.ttf"), with
// its own icon names ("fa-check") mapped to glyphs from its style sheet (":/fonts/font-awesome.css").
class IconFont {
public:
    // The glyph text for the icon name; empty for an unknown name.
    static QString stringForIconName(const QString& name);
    static QFont fontOfSize(double size);
    static QString familyName();
};

}  // namespace tovrin::ui
