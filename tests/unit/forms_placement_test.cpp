// Where a window may stand: kept where the user can take hold of its title bar, otherwise brought
// wholly onto the nearest monitor's work area.
#include <gtest/gtest.h>

#include "forms/placement.h"

namespace tivora::forms {
namespace {

constexpr int title = 23;                    // the title bar's height in pixels
const PixelRect screen{0, 0, 1024, 728};     // a 1024 x 768 monitor above a 40-pixel taskbar
const PixelRect right{1024, 0, 2944, 1040};  // a larger monitor to its right

PixelRect at(int left, int top) { return {left, top, left + 200, top + 300}; }

TEST(Placement, AWindowWhoseTitleBarCanBeTakenHoldOfStaysWhereItIs) {
    for (PixelRect window : {at(100, 100), at(900, 600), at(-100, 0), at(0, 728 - 2 * title), at(950, 200),
                             at(1024 - 3 * title, 200)}) {
        EXPECT_EQ(reachablePlace(window, title, {screen}), window) << window.left << "," << window.top;
    }
    EXPECT_EQ(reachablePlace(at(2000, 500), title, {screen, right}), at(2000, 500));  // on the second monitor
}

TEST(Placement, AWindowOutOfReachComesWhollyOntoTheNearestWorkArea) {
    // Above the top, below the taskbar, far to the left, parked where Windows puts minimised ones.
    EXPECT_EQ(reachablePlace(at(100, -20), title, {screen}), at(100, 0));
    EXPECT_EQ(reachablePlace(at(300, 720), title, {screen}), at(300, 428));
    EXPECT_EQ(reachablePlace(at(-190, 50), title, {screen}),
              at(0, 50));  // a sliver of title bar is not enough
    EXPECT_EQ(reachablePlace(at(-32000, -32000), title, {screen}), at(0, 0));
    EXPECT_EQ(reachablePlace(at(30000, 30000), title, {screen}), at(824, 428));
    // With two monitors: the one nearer to it, or of two it lies across, the one it overlaps more.
    EXPECT_EQ(reachablePlace(at(5000, 100), title, {screen, right}), at(2744, 100));
    EXPECT_EQ(reachablePlace(at(900, -50), title, {screen, right}), at(824, 0));
    EXPECT_EQ(reachablePlace(at(980, -50), title, {screen, right}), at(1024, 0));
    EXPECT_EQ(reachablePlace(at(-5000, 100), title, {screen, right}), at(0, 100));
    EXPECT_TRUE(
        titleBarReachable(reachablePlace(at(12345, -6789), title, {screen, right}), title, {screen, right}));
}

TEST(Placement, AWindowLargerThanTheWorkAreaKeepsItsTopLeftCornerOnIt) {
    PixelRect large{-500, -500, 1500, 1500};
    EXPECT_EQ(reachablePlace(large, title, {screen}), (PixelRect{0, 0, 2000, 2000}));
    EXPECT_EQ(reachablePlace(large, title, {}), large);  // no monitor known: nothing to go by
}

// Centred on the work area; made to fit it only along an edge that the window's controls follow.
TEST(Placement, AWindowFirstShowsCentredAndShrinksOnlyWhereItsControlsFollowItsEdges) {
    const PixelRect belowTaskbar{0, 40, 1024, 768};  // a taskbar along the top of the screen
    struct Row {
        int width, height;
        bool fitWidth, fitHeight;
        PixelRect work, expected, suggested{};
    } rows[] = {
        {200, 300, true, true, screen, {412, 214, 612, 514}},
        {200, 300, false, false, screen, {412, 214, 612, 514}},
        // The main window at 250 %: taller than the screen, and nothing follows its bottom edge.
        {490, 760, false, false, screen, {267, 0, 757, 760}},
        {490, 760, false, false, belowTaskbar, {267, 40, 757, 800}},
        // The help window at 175 %: its text follows both edges.
        {1210, 730, true, true, screen, {0, 0, 1024, 728}},
        {1210, 730, true, true, belowTaskbar, {0, 40, 1024, 768}},
        {1210, 730, false, true, screen, {0, 0, 1210, 728}},
        {1210, 730, true, false, screen, {0, 0, 1024, 730}},
        {1024, 728, false, false, screen, screen},
        // After a DPI change as Windows suggests it, fitted only where larger (the help at 175 %).
        {0, 0, true, true, screen, screen, {112, 20, 1322, 750}},
        {0, 0, false, true, screen, {824, 0, 1024, 728}, {900, 20, 1100, 800}},
        {0, 0, true, false, screen, {0, 50, 1024, 350}, {-100, 50, 1200, 350}},
        {0, 0, true, true, right, {1100, 100, 1300, 400}, {1100, 100, 1300, 400}},  // dragged: as suggested
        {0, 0, true, true, screen, {100, 100, 1124, 400}, {100, 100, 1124, 400}},   // just as wide
        {0, 0, true, true, screen, {50, 100, 250, 828}, {50, 100, 250, 828}},       // just as tall
        {0, 0, false, false, screen, {267, 0, 757, 760}, {267, 0, 757, 760}},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.suggested.width() ? fittedPlace(r.suggested, r.fitWidth, r.fitHeight, r.work)
                                      : centredPlace(r.width, r.height, r.fitWidth, r.fitHeight, r.work),
                  r.expected)
            << "row " << &r - rows;
    }
}

}  // namespace
}  // namespace tivora::forms
