#include "platform/xmpp/XMPPStringPrep.h"

#include <stringprep.h>

#include <vector>

namespace tovrin::xmpp {

namespace {

bool hasUnpairedSurrogate(const QString& text) {
    for (qsizetype index = 0; index < text.size(); ++index) {
        const QChar character = text.at(index);
        if (character.isHighSurrogate() && index + 1 < text.size() && text.at(index + 1).isLowSurrogate()) {
            ++index;
        } else if (character.isSurrogate()) {
            return true;
        }
    }
    return false;
}

std::optional<QString> prepare(const QString& text, const Stringprep_profile* profile) {
    if (hasUnpairedSurrogate(text)) return std::nullopt;
    const QByteArray utf8 = text.toUtf8();
    if (!XMPPStringPrep::isValidUTF8(utf8) || utf8.contains('\0')) return std::nullopt;
    // Mappings may lengthen the text; libidn says so and we try again with more room.
    for (size_t size = static_cast<size_t>(utf8.size()) * 4 + 16;; size *= 2) {
        std::vector<char> buffer(size, '\0');
        std::copy(utf8.cbegin(), utf8.cend(), buffer.begin());
        const int result = stringprep(buffer.data(), size, Stringprep_profile_flags(0), profile);
        if (result == STRINGPREP_OK) return QString::fromUtf8(buffer.data());
        if (result != STRINGPREP_TOO_SMALL_BUFFER) return std::nullopt;
    }
}

}  // namespace

std::optional<QString> XMPPStringPrep::nodeprep(const QString& text) {
    return prepare(text, stringprep_xmpp_nodeprep);
}

std::optional<QString> XMPPStringPrep::nameprep(const QString& text) {
    return prepare(text, stringprep_nameprep);
}

std::optional<QString> XMPPStringPrep::resourceprep(const QString& text) {
    return prepare(text, stringprep_xmpp_resourceprep);
}

std::optional<QString> XMPPStringPrep::saslprep(const QString& text) {
    return prepare(text, stringprep_saslprep);
}

bool XMPPStringPrep::isValidUTF8(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype index = 0; index < size;) {
        const unsigned char lead = data[index];
        int length = 0;
        uint32_t code = 0;
        if (lead < 0x80) {
            ++index;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, code = lead & 0x07;
        } else {
            return false;
        }
        if (index + length > size) return false;
        for (int offset = 1; offset < length; ++offset) {
            const unsigned char next = data[index + offset];
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        static constexpr uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        index += length;
    }
    return true;
}

}  // namespace tovrin::xmpp
