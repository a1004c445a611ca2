#include "Chat/TextMessage.h"

namespace tovrin {

QString TextMessage::description() const {
    return QStringLiteral("<TextMessage: id: %1, to: %2, from: %3, text: %4, didReceiveFromXMPP: %5>")
        .arg(messageID(), targetProfileID(), senderProfileID(), text_.value_or(QStringLiteral("(null)")),
             didReceiveFromXMPP() ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace tovrin
