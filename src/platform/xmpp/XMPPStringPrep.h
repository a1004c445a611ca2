#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tovrin::xmpp {

// The stringprep profiles of XMPP addresses and SASL, from GNU libidn. Each gives no value for
// text that the profile prohibits; text that is not valid Unicode never reaches libidn.
class XMPPStringPrep {
public:
    static std::optional<QString> nodeprep(const QString& text);
    static std::optional<QString> nameprep(const QString& text);
    static std::optional<QString> resourceprep(const QString& text);
    static std::optional<QString> saslprep(const QString& text);

    // Strict UTF-8: no overlong forms, surrogates or code points past U+10FFFF.
    static bool isValidUTF8(const QByteArray& bytes);
};

}  // namespace tovrin::xmpp
