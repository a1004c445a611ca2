#include "API/ErrorMessageParser.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

namespace tovrin {
namespace {

TEST(ErrorMessageParser, ReadsCompleteBodiesOnly) {
    struct Case {
        QByteArray body;
        std::optional<quint64> code;  // nothing: no error message
        QString message;
    };
    const Case cases[] = {
        {R"({"code":22,"message":"E-mail in use"})", 22, "E-mail in use"},
        {R"({"code":"22","message":"E-mail in use"})", 22, "E-mail in use"},
        {R"({"code":22,"message":""})", 22, ""},
        {R"({"code":22,"message":null})", 22, ""},
        {R"({"code":27.0,"message":"m","extra":true})", 27, "m"},
        {R"({"code":22})", std::nullopt, ""},
        {R"({"message":"m"})", std::nullopt, ""},
        {R"({"code":null,"message":"m"})", std::nullopt, ""},
        {R"({"code":{},"message":"m"})", std::nullopt, ""},
        {R"({"code":"twenty","message":"m"})", std::nullopt, ""},
        {R"({"code":-4,"message":"m"})", std::nullopt, ""},
        {R"([{"code":22,"message":"m"}])", std::nullopt, ""},
        {"not JSON", std::nullopt, ""},
        {"", std::nullopt, ""},
    };
    const ErrorMessageParser parser;
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.body.toStdString());
        const auto errorMessage = parser.errorMessageFromData(testCase.body);
        ASSERT_EQ(errorMessage.has_value(), testCase.code.has_value());
        if (!errorMessage) continue;
        EXPECT_EQ(errorMessage->code(), *testCase.code);
        EXPECT_EQ(errorMessage->message(), testCase.message);
    }
}

TEST(ErrorMessageParser, AValidDictionaryHasBothMembersEvenNull) {
    const ErrorMessageParser parser;
    EXPECT_TRUE(
        parser.isValidErrorMessageDictionary(QJsonObject{{"code", QJsonValue()}, {"message", QJsonValue()}}));
    EXPECT_FALSE(parser.isValidErrorMessageDictionary(QJsonObject{{"code", 1}}));
    EXPECT_FALSE(parser.isValidErrorMessageDictionary(QJsonArray{1}));
    EXPECT_FALSE(parser.isValidErrorMessageDictionary(QJsonValue("text")));
}

}  // namespace
}  // namespace tovrin
