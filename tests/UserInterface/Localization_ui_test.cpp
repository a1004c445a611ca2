#include <gtest/gtest.h>

#include <QLocale>
#include <ctime>

#include "Categories/Date+RelativeText.h"
#include "Categories/Error+TovrinErrorString.h"
#include "UserInterface/KeyboardAccessoryView.h"
#include "UserInterface/MultiSelectViewController.h"
#include "UserInterface/WebViewController.h"
#include "platform/system/Application.h"
#include "platform/ui/animation/ViewAnimation.h"
#include "platform/ui/controllers/BarButtonItem.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/scrolling/TableView.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/webengine/EngineWebView.h"
#include "support/PseudoTranslation.h"
#include "support/TestSupport.h"
#include "support/UITestSupport.h"

namespace tovrin {
namespace {

using test::PseudoTranslation;

// Under a made-up language every text meant for translation comes out changed, and the texts
// kept in English on purpose do not.
class LocalizationTest : public testing::Test {
protected:
    PseudoTranslation translation;

    void SetUp() override {
        previousZone_ = qgetenv("TZ");
        qputenv("TZ", "UTC");
        tzset();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override {
        if (previousZone_.isEmpty()) {
            qunsetenv("TZ");
        } else {
            qputenv("TZ", previousZone_);
        }
        tzset();
        QLocale::setDefault(QLocale::system());
    }

    const Date now = Date::fromQDateTime(QDateTime(QDate(2026, 12, 10), QTime(12, 0)));
    Date ago(double seconds) const { return now.addingTimeInterval(-seconds); }

private:
    QByteArray previousZone_;
};

TEST_F(LocalizationTest, RelativeTimeFormatsAreTranslatedButTheirWordsAreNot) {
    const double hour = 3600, day = 24 * hour;
    const struct {
        const char* name;
        QString text;
        QString expected;
    } cases[] = {
        {"last seen, long", timeIntervalAsStringSinceDate(ago(5 * hour), now, 1), "‹‹Online ›5 hours ago›"},
        {"last seen, short hours", timeIntervalAsStringSinceDate(ago(5 * hour), now, 0), "‹5 hrs ago›"},
        {"last seen, short minute", timeIntervalAsStringSinceDate(ago(60), now, 0), "‹1 min ago›"},
        {"last seen, days", timeIntervalAsStringSinceDate(ago(3 * day), now, 0), "‹3 days ago›"},
        {"last seen, offline", timeIntervalAsStringSinceDate(ago(40 * day), now, 1), "Offline"},
        {"inbox, days", timeIntervalForEventAsStringSinceDate(ago(3 * day), now), "‹3d ago›"},
        {"inbox, yesterday", timeIntervalForEventAsStringSinceDate(ago(30 * hour), now), "‹Yesterday›"},
        {"inbox, just now", timeIntervalForEventAsStringSinceDate(ago(60), now), "‹Just now!›"},
        {"day header, today", timeIntervalForDayEventAsStringSinceDate(ago(hour), now), "‹Today›"},
        {"day header, weekday", timeIntervalForDayEventAsStringSinceDate(ago(3 * day), now), "‹Monday›"},
        {"day header, old date", timeIntervalForDayEventAsStringSinceDate(ago(10 * day), now), "Mon, Nov 30"},
        {"error", tvr_errorStringForActionString(QStringLiteral("login"), false), "‹Unable to login›"},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        EXPECT_EQ(testCase.text, testCase.expected);
    }
}

TEST_F(LocalizationTest, MultiSelectListSpeaksTheTranslation) {
    ui::ImmediateAnimations immediate;
    ui::Window window{nullptr};
    auto list = std::make_shared<MultiSelectViewController>();
    list->setTitle(QStringLiteral("Colours"));
    list->setItems({QStringLiteral("Red"), QStringLiteral("Green")});
    list->setIndexesForSelectedRows(std::set<int>{1});
    window.setRootViewController(list);
    window.show();
    list->view()->layoutIfNeeded();

    EXPECT_EQ(list->view()->accessibilityLabel(), "‹Colours page›");
    auto* selected = list->tableView()->cellForRowAtIndexPath(ui::IndexPath::forRow(1, 0));
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected->accessibilityValue(), "‹Selected›");
}

TEST_F(LocalizationTest, WebPageToolbarAndKeyboardBarSpeakTheTranslation) {
    // The engine starts only with a first page, which this screen never loads.
    auto page =
        std::make_shared<WebViewController>(ui::sharedWidget(new ui::EngineWebView()), Application::shared());
    page->view()->layoutIfNeeded();
    EXPECT_EQ(page->backButton()->accessibilityLabel(), "‹Back›");
    EXPECT_EQ(page->forwardButton()->accessibilityLabel(), "‹Forward›");
    EXPECT_EQ(page->reloadButton()->accessibilityLabel(), "‹Reload›");
    EXPECT_EQ(page->openInSafariButton()->accessibilityLabel(), "‹Open in Safari›");

    const std::vector<ui::View*> bar = KeyboardAccessoryView::nib(nullptr);
    ASSERT_FALSE(bar.empty());
    auto* accessory = qobject_cast<KeyboardAccessoryView*>(bar.front());
    ASSERT_NE(accessory, nullptr);
    EXPECT_EQ(accessory->doneButton()->currentTitle(), "‹Done›");
    qDeleteAll(bar);
}

}  // namespace
}  // namespace tovrin
