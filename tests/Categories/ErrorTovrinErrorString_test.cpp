#include <gtest/gtest.h>

#include "API/TovrinServiceError.h"
#include "Categories/Error+TovrinErrorString.h"

namespace tovrin {
namespace {

TEST(ErrorTovrinErrorString, OnlyTheServicesCode16SaysThereIsNoInternet) {
    struct Case {
        Error error;
        QString sentence;
    };
    const Case cases[] = {
        {tovrinServiceError(16), "No internet connection — unable to login"},
        {Error("OtherDomain", 16), "Unable to login"},
        {tovrinServiceError(12), "Unable to login"},
        {tovrinServiceError(13), "Unable to login"},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.error.description().toStdString());
        EXPECT_EQ(tvr_errorStringForActionString(testCase.error, "login"), testCase.sentence);
    }
    EXPECT_EQ(tvr_errorStringForActionString(QString("save changes"), true),
              "No internet connection — unable to save changes");
    EXPECT_EQ(tvr_errorStringForActionString(QString("block"), false), "Unable to block");
}

}  // namespace
}  // namespace tovrin
