#include "settings/WindowPlace.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(WindowPlace, FitsOnlyWhollyInsideOneScreensAvailableArea)
{
    // Two screens side by side; the left one loses 30 pixels to a panel at its top.
    const QList<QRect> screens = {QRect(0, 30, 1280, 770), QRect(1280, 0, 1920, 1080)};
    const std::pair<QRect, bool> cases[] = {
        {QRect(100, 80, 700, 500), true},    {QRect(0, 30, 1280, 770), true},
        {QRect(100, 10, 700, 500), false},   {QRect(1400, 100, 1200, 900), true},
        {QRect(1000, 100, 700, 500), false}, {QRect(0, 30, 560, 800), false},
        {QRect(3300, 100, 560, 385), false},
    };
    for (const auto& [geometry, fits] : cases)
        EXPECT_EQ(fitsOnAScreen(geometry, screens), fits) << geometry.x() << ',' << geometry.y();
    EXPECT_FALSE(fitsOnAScreen(QRect(0, 30, 560, 385), {}));
}

TEST(WindowPlace, TextIsFiveNumbersAndAnythingElseIsNoPlace)
{
    EXPECT_EQ(windowPlaceText({QRect(-8, 40, 700, 500), true}), u"-8,40,700,500,1"_s);
    EXPECT_EQ(parseWindowPlace(u"-8,40,700,500,1"_s), (WindowPlace{QRect(-8, 40, 700, 500), true}));
    for (const QString& text : {u"10,20,560,385"_s, u"10,20,0,385,0"_s, u"10,20,560,385,2"_s})
        EXPECT_FALSE(parseWindowPlace(text)) << text.toStdString();
}

} // namespace
