#include "platform/ui/text/Font.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHash>
#include <cmath>

namespace tovrin::ui {
namespace {

struct Face {
    QString family;
    int weight;
};

QHash<QString, Face>& faces() {
    static QHash<QString, Face> registered;
    return registered;
}

}  // namespace

QFont Font::systemFont(double size) {
    return withSize(QApplication::font(), size);
}

QFont Font::boldSystemFont(double size) {
    QFont font = systemFont(size);
    font.setWeight(QFont::Bold);
    return font;
}

QFont Font::named(const QString& name, double size) {
    auto found = faces().find(name);
    if (found == faces().end()) return systemFont(size);
    QFont font(found->family);
    font.setWeight(QFont::Weight(found->weight));
    return withSize(font, size);
}

bool Font::isRegistered(const QString& name) {
    return faces().contains(name);
}

void Font::registerFace(const QString& name, const QString& family, int weight) {
    faces().insert(name, Face{family, weight});
}

QString Font::loadFontFile(const QString& path) {
    const int identifier = QFontDatabase::addApplicationFont(path);
    if (identifier < 0) return {};
    const QStringList families = QFontDatabase::applicationFontFamilies(identifier);
    return families.isEmpty() ? QString() : families.front();
}

QFont Font::withSize(const QFont& font, double size) {
    QFont sized = font;
    // Points are logical pixels here, as on a phone.
    sized.setPixelSize(std::max(1, int(std::lround(size))));
    return sized;
}

double Font::pointSize(const QFont& font) {
    if (font.pixelSize() > 0) return font.pixelSize();
    return font.pointSizeF() * 96.0 / 72.0;
}

}  // namespace tovrin::ui
