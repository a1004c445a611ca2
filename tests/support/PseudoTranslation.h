#pragma once

#include <QCoreApplication>
#include <QTranslator>

namespace tovrin::test {

// A translation into a made-up language for the scope: every localised text comes out as
// "‹text›", so a test sees which texts go through localisation and which do not. Formats keep
// their placeholders, so they still fill.
class PseudoTranslation : public QTranslator {
public:
    PseudoTranslation() { QCoreApplication::installTranslator(this); }
    ~PseudoTranslation() override { QCoreApplication::removeTranslator(this); }

    static QString of(const QString& english) { return QStringLiteral("‹") + english + QStringLiteral("›"); }

    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* = nullptr,
                      int = -1) const override {
        if (QByteArrayView(context) != "Localizable") return {};
        return of(QString::fromUtf8(sourceText));
    }
};

}  // namespace tovrin::test
