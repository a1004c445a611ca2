#include "Categories/UI/Font+Tovrin.h"

#include "platform/ui/text/Font.h"

namespace tovrin {

void registerTovrinTypefaces() {
    static const bool registered = [] {
        const struct {
            const char* face;
            const char* file;
            int weight;
        } faces[] = {
            {"DINOT", ":/fonts/RobotoCondensed-Regular.ttf", QFont::Normal},
            {"DINOT-Medium", ":/fonts/RobotoCondensed-Medium.ttf", QFont::Medium},
            {"DINOT-Bold", ":/fonts/RobotoCondensed-Bold.ttf", QFont::Bold},
            {"DIN OT", ":/fonts/RobotoCondensed-Regular.ttf", QFont::Normal},
        };
        for (const auto& face : faces) {
            QString family = ui::Font::loadFontFile(QString::fromLatin1(face.file));
            if (family.isEmpty()) family = QStringLiteral("Roboto Condensed");
            ui::Font::registerFace(QString::fromLatin1(face.face), family, face.weight);
        }
        return true;
    }();
    Q_UNUSED(registered);
}

QFont tovrinFont(const QString& faceName, double size) {
    registerTovrinTypefaces();
    return ui::Font::named(faceName, size);
}

}  // namespace tovrin
