#include "app/PlaceBeside.h"

#include <gtest/gtest.h>

namespace {

// A 1280 x 1024 screen whose panel takes the top 32 rows; the preview is 480 x 560.
const QRect screen(0, 32, 1280, 992);
const QSize preview(480, 560);

struct PlaceCase {
    const char* name;
    QRect main;
    QRect expected;
    bool beside = true; // false where there is no room beside it
};

class PlaceBesideTest : public testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceBesideTest, BesideTheMainWindowWhereThereIsRoom)
{
    const PlaceCase& c = GetParam();
    const QRect place = placeBeside(c.main, preview, screen, 320);
    EXPECT_EQ(place, c.expected);
    EXPECT_EQ(!place.intersects(c.main), c.beside);
    EXPECT_TRUE(screen.contains(place)) << "off the screen";
    EXPECT_EQ(roomBeside(c.main, screen, 320), c.beside);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaceBesideTest,
    testing::Values(
        // Exactly the preview's width free on the right.
        PlaceCase{"ExactlyRoomOnTheRight", {100, 100, 700, 500}, {800, 100, 480, 560}},
        PlaceCase{"RoomOnBothSidesTakesTheRight", {300, 100, 400, 500}, {700, 100, 480, 560}},
        PlaceCase{"OnePixelShortOnTheRightGoesLeft", {500, 100, 301, 500}, {20, 100, 480, 560}},
        PlaceCase{"ExactlyRoomOnTheLeft", {480, 40, 500, 500}, {0, 40, 480, 560}},
        // Neither side has the room: the wider side, the preview narrowed to it.
        PlaceCase{"NarrowedOnTheWiderLeft", {400, 100, 600, 500}, {0, 100, 400, 560}},
        PlaceCase{"NarrowedOnTheWiderRight", {200, 100, 700, 500}, {900, 100, 380, 560}},
        // Too little room on either side: against the screen's edge, over the main window.
        PlaceCase{"MaximisedMainWindow", {0, 32, 1280, 992}, {800, 32, 480, 560}, false},
        // Low on the screen or above its top: moved up or down into it.
        PlaceCase{"LowMainWindowMovesUp", {100, 700, 600, 300}, {700, 464, 480, 560}},
        PlaceCase{"MainWindowUnderThePanel", {100, 0, 600, 300}, {700, 32, 480, 560}}),
    [](const testing::TestParamInfo<PlaceCase>& info) { return std::string(info.param.name); });

} // namespace
