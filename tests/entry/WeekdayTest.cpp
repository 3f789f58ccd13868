#include "entry/Weekday.h"

#include <gtest/gtest.h>

namespace {

struct WeekdayCase {
    const char* name;
    const char16_t* year;
    const char16_t* month;
    const char16_t* day;
    int item; // 0 Sunday .. 6 Saturday, -1 blank
};

class WeekdayTest : public testing::TestWithParam<WeekdayCase> {};

TEST_P(WeekdayTest, SelectsTheItemOfTheDateOrNone)
{
    const WeekdayCase& c = GetParam();
    EXPECT_EQ(entry::weekdayItem(QStringView(c.year), QStringView(c.month), QStringView(c.day)),
              c.item);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, WeekdayTest,
    testing::Values(WeekdayCase{"LeapDayDivisibleBy400", u"2000", u"2", u"29", 2},
                    WeekdayCase{"NoLeapDayInACenturyYear", u"2100", u"2", u"29", -1},
                    WeekdayCase{"LeapDayEveryFourYears", u"2004", u"2", u"29", 0},
                    WeekdayCase{"NoLeapDayInACommonYear", u"2001", u"2", u"29", -1},
                    WeekdayCase{"FirstYearCovered", u"1990", u"1", u"1", 1},
                    WeekdayCase{"YearBefore1990", u"1989", u"12", u"31", -1},
                    WeekdayCase{"LastDayCovered", u"9999", u"12", u"31", 5},
                    WeekdayCase{"YearTenThousand", u"10000", u"1", u"1", -1},
                    WeekdayCase{"Saturday", u"1999", u"3", u"27", 6},
                    WeekdayCase{"LeadingZeros", u"01999", u"03", u"027", 6},
                    WeekdayCase{"Month13", u"2000", u"13", u"1", -1},
                    WeekdayCase{"Month0", u"2000", u"0", u"1", -1},
                    WeekdayCase{"Day0", u"2000", u"1", u"0", -1},
                    WeekdayCase{"Day32", u"2000", u"1", u"32", -1},
                    WeekdayCase{"April31", u"2000", u"4", u"31", -1},
                    WeekdayCase{"April30", u"2000", u"4", u"30", 0},
                    WeekdayCase{"LetterInYear", u"20a0", u"1", u"1", -1},
                    WeekdayCase{"LetterInMonth", u"2000", u"x", u"1", -1},
                    WeekdayCase{"LetterInDay", u"2000", u"1", u"y", -1},
                    WeekdayCase{"EmptyDay", u"2000", u"1", u"", -1},
                    WeekdayCase{"DecimalPoint", u"2000", u"5.0", u"1", -1},
                    WeekdayCase{"PlusSign", u"2000", u"+5", u"1", -1},
                    WeekdayCase{"MinusSign", u"2000", u"-5", u"1", -1},
                    WeekdayCase{"LeadingBlank", u"2000", u" 5", u"1", -1},
                    WeekdayCase{"TrailingBlank", u"2000", u"5 ", u"1", -1},
                    WeekdayCase{"FullWidthDigits", u"２０００", u"1", u"1", 6},
                    WeekdayCase{"FullWidthDate", u"１９９９", u"３", u"２７", 6},
                    WeekdayCase{"MixedDigitsInOneField", u"1９9９", u"0３", u"2７", 6},
                    WeekdayCase{"FullWidthLeadingZeros", u"０１９９９", u"０３", u"０２７", 6},
                    WeekdayCase{"FullWidthNoLeapDay", u"２１００", u"２", u"２９", -1},
                    WeekdayCase{"FullWidthLeapDay", u"２０００", u"２", u"２９", 2},
                    WeekdayCase{"FullWidthMonth13", u"2000", u"１３", u"1", -1},
                    WeekdayCase{"FullWidthYearTenThousand", u"１００００", u"1", u"1", -1},
                    WeekdayCase{"FullWidthSolidusBeforeZero", u"2000", u"1\uFF0F", u"1", -1},
                    WeekdayCase{"FullWidthColonAfterNine", u"2000", u"1", u"\uFF1A1", -1},
                    WeekdayCase{"FullWidthDecimalPoint", u"2000", u"５．０", u"1", -1},
                    WeekdayCase{"ArabicIndicDigits", u"2000", u"\u0665", u"1", -1},
                    WeekdayCase{"TwentyDigitYear", u"20000000000000000000", u"1", u"1", -1},
                    // 2^32 + 2000 would wrap to 2000 in 32-bit arithmetic.
                    WeekdayCase{"YearThatWouldWrap", u"4294969296", u"1", u"1", -1},
                    WeekdayCase{"TwentyDigitDay", u"2000", u"1", u"00000000000000000001", 6}),
    [](const testing::TestParamInfo<WeekdayCase>& info) { return std::string(info.param.name); });

} // namespace
