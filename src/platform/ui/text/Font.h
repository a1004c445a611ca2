#pragma once

#include <QFont>
#include <QString>

namespace tovrin::ui {

// Fonts by face name and size in points (Qt logical pixels). Applications register their face
// names (a family with a weight), from font files of their own or installed ones.
class Font {
public:
    static QFont systemFont(double size);
    static QFont boldSystemFont(double size);
    // The registered face at the size; the system font at that size for an unknown name.
    static QFont named(const QString& name, double size);
    static bool isRegistered(const QString& name);
    static void registerFace(const QString& name, const QString& family, int weight = QFont::Normal);
    // Adds the font file (a path or a resource) and answers its first family name, or an empty text.
    static QString loadFontFile(const QString& path);

    static QFont withSize(const QFont& font, double size);
    static double pointSize(const QFont& font);
};

}  // namespace tovrin::ui
