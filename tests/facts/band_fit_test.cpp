#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>

#include "facts/band_fit.h"

namespace {

// Every screen of the shared table (the page's tests read it too): its CSS
// size times its pixel ratio is the screen in device pixels.
TEST(FitBand, PlacesTheBandOnEveryScreenOfTheTable) {
    std::ifstream table(SCALING_CASES);
    ASSERT_TRUE(table) << SCALING_CASES;
    int rows = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string name;
        double cssWidth, cssHeight, ratio, scale;
        int x, y, width, height;
        ASSERT_TRUE(fields >> name >> cssWidth >> cssHeight >> ratio >> scale >> x >> y >> width >> height) << line;
        SCOPED_TRACE(name);
        const BandPlace place = FitBand(static_cast<int>(std::lround(cssWidth * ratio)),
                                        static_cast<int>(std::lround(cssHeight * ratio)), 320, 176);
        EXPECT_EQ(place.x, x);
        EXPECT_EQ(place.y, y);
        EXPECT_EQ(place.width, width);
        EXPECT_EQ(place.height, height);
        EXPECT_EQ(place.scale, scale >= 1 ? static_cast<int>(scale) : 0);
        EXPECT_EQ(place.width, 320 * scale);  // a fractional scale too
        ++rows;
    }
    EXPECT_GE(rows, 10);
}

// A minimised window may report an empty output.
TEST(FitBand, AnEmptyScreenOrPictureGetsNothing) {
    for (const auto& [screenWidth, screenHeight, width, height] :
         {std::tuple{0, 768, 320, 176}, {1024, -1, 320, 176}, {1024, 768, 0, 176}}) {
        const BandPlace place = FitBand(screenWidth, screenHeight, width, height);
        EXPECT_EQ(place.width * place.height, 0);
        EXPECT_EQ(place.scale, 0);
    }
}

}  // namespace
