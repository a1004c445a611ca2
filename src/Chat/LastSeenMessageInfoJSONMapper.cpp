#include "Chat/LastSeenMessageInfoJSONMapper.h"

#include "Categories/Collection+NilTolerance.h"
#include "Categories/Date+Milliseconds.h"

namespace tovrin {

QJsonObject LastSeenMessageInfoJSONMapper::JSONDictionaryWithLastSeenMessageInfo(
    const LastSeenMessageInfo& info) const {
    const auto sentDate = info.sentDate();
    return {
        // Null, not 0: a 0 would read back as a date, the first instant of 1970.
        {QStringLiteral("sentDate"),
         sentDate ? QJsonValue(tvr_millisecondsSince1970(*sentDate)) : QJsonValue()},
        {QStringLiteral("messageID"), objectOrNSNull(info.messageID())},
    };
}

std::shared_ptr<LastSeenMessageInfo> LastSeenMessageInfoJSONMapper::lastSeenMessageInfoWithJSONDictionary(
    const QJsonObject& dictionary) const {
    std::optional<Date> sentDate;
    const auto milliseconds = objectOrNilForKey(dictionary, QStringLiteral("sentDate"));
    if (milliseconds && milliseconds->isDouble()) {
        sentDate = tvr_dateWithWholeMillisecondsSince1970(milliseconds->toDouble());
    }
    std::optional<QString> messageID;
    const QJsonValue storedID = dictionary.value(QStringLiteral("messageID"));
    if (storedID.isString()) messageID = storedID.toString();
    return std::make_shared<LastSeenMessageInfo>(sentDate, messageID);
}

}  // namespace tovrin
