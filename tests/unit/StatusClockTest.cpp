// The status bar's date and time texts in several regional settings.
#include "ui/StatusClock.h"

#include <gtest/gtest.h>

using tarvelin::ui::statusDateText;
using tarvelin::ui::statusTimeText;

TEST(StatusClockTest, DateAndTimeAsTheRegionShowsThem)
{
    struct Case {
        const char* locale;
        const char* date;
        const char* time;
    };
    const Case cases[] = {
        {"de_DE", "09.12.2024", "14:05:09"},     {"de_CH", "09.12.2024", "14:05:09"},
        {"en_US", "12/9/2024", "2:05:09 PM"},    {"en_GB", "09/12/2024", "14:05:09"},
        {"ja_JP", "2024/12/09", "14時05分09秒"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        const QLocale locale(QString::fromLatin1(c.locale));
        EXPECT_EQ(statusDateText(locale, QDate(2024, 12, 9)), QString::fromUtf8(c.date));
        EXPECT_EQ(statusTimeText(locale, QTime(14, 5, 9)), QString::fromUtf8(c.time));
    }
}

TEST(StatusClockTest, SingleDigitFieldsKeepTheirPadding)
{
    const QLocale german(QStringLiteral("de_DE"));
    EXPECT_EQ(statusDateText(german, QDate(2025, 1, 2)), u"02.01.2025"_qs);
    EXPECT_EQ(statusTimeText(german, QTime(0, 0, 0)), u"00:00:00"_qs);
    EXPECT_EQ(statusTimeText(german, QTime(23, 59, 59)), u"23:59:59"_qs);
}
