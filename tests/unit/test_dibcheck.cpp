// Pictures handed over from outside: what does not lie inside its block is refused.
#include "testsupport.h"
#include "image/dibcheck.h"
#include <limits.h>
#include <string.h>
#include <vector>

// Pictures from outside that the converters must not walk: refused by the check.
TEST(DibCheck, RefusesWhatDoesNotLieInsideItsBlock)
{
    struct Case {
        const char *what;
        int32_t width, height;
        uint16_t depth;
        uint32_t compression, colours, size;
        size_t blockBytes;
    } cases[] = {
        {"run-length rows", 4, 4, 8, BI_RLE8, 0, 40, 40 + 1024 + 16},
        {"more colours than the depth", 4, 4, 8, BI_RGB, 300, 40, 40 + 1200 + 16},
        {"palette past the block", 4, 4, 8, BI_RGB, 0, 40, 40 + 100},
        {"rows past the block", 4, 4, 24, BI_RGB, 0, 40, 40 + 47},
        {"header past the block", 4, 4, 24, BI_RGB, 0, 4000, 40 + 48},
        {"lowest height", 4, INT_MIN, 24, BI_RGB, 0, 40, 40 + 48},
        {"zero width", 0, 4, 24, BI_RGB, 0, 40, 40 + 48},
        {"bit fields at 24 bits", 4, 4, 24, BI_BITFIELDS, 0, 40, 40 + 12 + 48},
        {"odd depth", 4, 4, 12, BI_RGB, 0, 40, 40 + 48},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> block(c.blockBytes, 0);
        BITMAPINFOHEADER h = {c.size, c.width, c.height, 1, c.depth, c.compression, 0, 0, 0, c.colours, 0};
        memcpy(block.data(), &h, sizeof h);
        DibLayout dib;
        EXPECT_EQ(CheckPackedDib(block.data(), block.size(), &dib), 0) << c.what;
    }
    // The same 24-bit picture whole is taken as it is.
    std::vector<uint8_t> block(40 + 48, 0);
    BITMAPINFOHEADER h = {40, 4, 4, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    memcpy(block.data(), &h, sizeof h);
    DibLayout dib;
    ASSERT_EQ(CheckPackedDib(block.data(), block.size(), &dib), 1);
    EXPECT_TRUE(IsPlainDib(dib));
}
