// The two pictures as the program embeds them: complete BMP files of the expected shape,
// a dial that is pure white outside its circle, and a reflection in greys only.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/embedded_resources.h"

namespace {

std::vector<uint8_t> GetPicture(const std::string& name) {
    for (int i = 0; i < EmbeddedResourceCount; ++i)
        if (name == EmbeddedResources[i].Name)
            return {EmbeddedResources[i].Bytes,
                    EmbeddedResources[i].Bytes + EmbeddedResources[i].Size};
    return {};
}

uint32_t GetField(const std::vector<uint8_t>& bytes, size_t offset, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | bytes.at(offset + i);
    return value;
}

// Pixel (x, y) as blue, green, red, with y counted from the bottom row as the file stores it.
const uint8_t* GetPixel(const std::vector<uint8_t>& bytes, int side, int x, int y) {
    return &bytes.at(54 + (static_cast<size_t>(y) * side + x) * 3);
}

TEST(Pictures, HeadersDescribeComplete24BitBottomUpFiles) {
    const struct {
        const char* name;
        uint32_t side, fileSize, pixelsPerMetre;
    } cases[] = {{"WATCHFACE", 256, 196662, 11827}, {"REFLECTION", 128, 49206, 2851}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> bytes = GetPicture(c.name);
        ASSERT_EQ(bytes.size(), c.fileSize);
        EXPECT_EQ(GetField(bytes, 0, 2), uint32_t{'B' | 'M' << 8});
        // Offset, size and value of every header field.
        const uint32_t fields[][3] = {{2, 4, c.fileSize},
                                      {6, 4, 0},
                                      {10, 4, 54},
                                      {14, 4, 40},
                                      {18, 4, c.side},
                                      {22, 4, c.side},
                                      {26, 2, 1},
                                      {28, 2, 24},
                                      {30, 4, 0},
                                      {34, 4, c.fileSize - 54},
                                      {38, 4, c.pixelsPerMetre},
                                      {42, 4, c.pixelsPerMetre},
                                      {46, 4, 0},
                                      {50, 4, 0}};
        for (const auto& field : fields)
            EXPECT_EQ(GetField(bytes, field[0], field[1]), field[2]) << "at offset " << field[0];
    }
}

TEST(Pictures, DialIsPureWhiteOutsideItsCircleAndMarkedInside) {
    const std::vector<uint8_t> bytes = GetPicture("WATCHFACE");
    ASSERT_EQ(bytes.size(), 196662u);
    int outsideNotWhite = 0, dark = 0, red = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const uint8_t* p = GetPixel(bytes, 256, x, y);
            // The nearest point of the pixel's square to the centre (128, 128).
            const double dx = x + 1 <= 128 ? x + 1 - 128 : (x >= 128 ? x - 128 : 0);
            const double dy = y + 1 <= 128 ? y + 1 - 128 : (y >= 128 ? y - 128 : 0);
            if (dx * dx + dy * dy >= 128.0 * 128.0)
                outsideNotWhite += p[0] != 255 || p[1] != 255 || p[2] != 255;
            else
                dark += p[0] < 64 && p[1] < 64 && p[2] < 64;
            red += p[2] > 150 && p[1] < 90 && p[0] < 90;
        }
    }
    EXPECT_EQ(outsideNotWhite, 0);
    EXPECT_GT(dark, 1000) << "numerals, strokes and rings";
    EXPECT_GT(red, 50) << "the red minute numbers";
}

// Greys only, on a field of 80 that highlights only lighten, with a white centre.
TEST(Pictures, ReflectionIsGreyOnAnEightyFieldWithAWhiteCentre) {
    const std::vector<uint8_t> bytes = GetPicture("REFLECTION");
    ASSERT_EQ(bytes.size(), 49206u);
    int coloured = 0, darker = 0;
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const uint8_t* p = GetPixel(bytes, 128, x, y);
            coloured += p[0] != p[1] || p[1] != p[2];
            darker += p[0] < 80;
        }
    }
    EXPECT_EQ(coloured, 0);
    EXPECT_EQ(darker, 0);
    EXPECT_EQ(GetPixel(bytes, 128, 0, 0)[0], 80);
    EXPECT_EQ(GetPixel(bytes, 128, 127, 127)[0], 80);
    EXPECT_EQ(GetPixel(bytes, 128, 64, 64)[0], 255);
}

} // namespace
