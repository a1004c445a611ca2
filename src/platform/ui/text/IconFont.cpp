#include "platform/ui/text/IconFont.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

#include "platform/ui/text/Font.h"

namespace tovrin::ui {
namespace {

const QString FontFile = QStringLiteral(":/fonts/fontawesome-webfont.ttf");
const QString StyleSheet = QStringLiteral(":/fonts/font-awesome.css");

// Rules look like ".fa-glass:before,\n.fa-martini:before {\n  content: "\f000";\n}".
QHash<QString, QString> readGlyphs() {
    QHash<QString, QString> glyphs;
    QFile file(StyleSheet);
    if (!file.open(QIODevice::ReadOnly)) return glyphs;
    const QString css = QString::fromUtf8(file.readAll());
    static const QRegularExpression rule(
        QStringLiteral(R"(((?:\.fa-[a-z0-9-]+:before[\s,]*)+)\{\s*content:\s*"\\([0-9a-fA-F]+)\";)"));
    static const QRegularExpression selector(QStringLiteral(R"(\.(fa-[a-z0-9-]+):before)"));
    for (auto match = rule.globalMatch(css); match.hasNext();) {
        const auto found = match.next();
        const char32_t codepoint = found.captured(2).toUInt(nullptr, 16);
        const QString glyph = QString::fromUcs4(&codepoint, 1);
        for (auto names = selector.globalMatch(found.captured(1)); names.hasNext();) {
            glyphs.insert(names.next().captured(1), glyph);
        }
    }
    return glyphs;
}

}  // namespace

QString IconFont::stringForIconName(const QString& name) {
    static const QHash<QString, QString> glyphs = readGlyphs();
    return glyphs.value(name);
}

QString IconFont::familyName() {
    static const QString family = Font::loadFontFile(FontFile);
    return family;
}

QFont IconFont::fontOfSize(double size) {
    QFont font(familyName());
    return Font::withSize(font, size);
}

}  // namespace tovrin::ui
