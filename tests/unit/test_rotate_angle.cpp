// The rotation window's angle reader: a decimal number at the start of the edit's text, read no
// further than its own buffer of 100 characters.
#include "angle.h"
#include <gtest/gtest.h>
#include <math.h>
#include <string>

TEST(RotateAngle, ReadsADecimalNumberAndStopsAtItsBuffersEnd)
{
    const std::string ones(150, '1'), thirds = "0." + std::string(200, '3');
    struct Case {
        std::string text;
        double angle;
    } cases[] = {
        {"45", 45},
        {" -12.5deg", -12.5},
        {"1e2", 100},
        {"7e", 7},
        {"abc", 0},
        {"0x10", 0},
        {"inf", 0},
        {"1e999", 0},
        // Past 100 characters the rest of the number is not read.
        {ones, strtod(ones.substr(0, 100).c_str(), nullptr)},
        {"1" + std::string(300, '0'), 1e99},
        {thirds, 1.0 / 3},
        {"-" + std::string(99, '2') + "e5", -strtod(std::string(99, '2').c_str(), nullptr)},
    };
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(ReadAngle(c.text.c_str()), c.angle) << c.text.substr(0, 20);
}
