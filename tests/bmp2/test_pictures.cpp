// The two pictures as the program embeds them: complete BMP files of the expected shape,
// a dial that is pure white outside its circle, and a reflection in greys only.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/embedded_resources.h"

namespace {

std::vector<uint8_t> GetPicture(const std::string& name) {
    for (int i = 0; i < EmbeddedResourceCount; ++i) {
        const EmbeddedResource& resource = EmbeddedResources[i];
        if (name == resource.Name)
            return std::vector<uint8_t>(resource.Bytes, resource.Bytes + resource.Size);
    }
    return {};
}

uint32_t GetField(const std::vector<uint8_t>& bytes, size_t offset, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | bytes.at(offset + i);
    return value;
}

struct Pixel {
    uint8_t b, g, r;
};

// Pixel (x, y) with y counted from the bottom row, as the file stores it.
Pixel GetPixel(const std::vector<uint8_t>& bytes, int side, int x, int y) {
    const size_t at = 54 + (static_cast<size_t>(y) * side + x) * 3;
    return {bytes.at(at), bytes.at(at + 1), bytes.at(at + 2)};
}

TEST(Pictures, HeadersDescribeComplete24BitBottomUpFiles) {
    const struct {
        const char* name;
        uint32_t side, fileSize, imageSize, pixelsPerMetre;
    } cases[] = {{"WATCHFACE", 256, 196662, 196608, 11827},
                 {"REFLECTION", 128, 49206, 49152, 2851}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> bytes = GetPicture(c.name);
        ASSERT_EQ(bytes.size(), c.fileSize);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        const struct {
            size_t offset;
            int size;
            uint32_t value;
        } fields[] = {{2, 4, c.fileSize},
                      {6, 4, 0},
                      {10, 4, 54},
                      {14, 4, 40},
                      {18, 4, c.side},
                      {22, 4, c.side},
                      {26, 2, 1},
                      {28, 2, 24},
                      {30, 4, 0},
                      {34, 4, c.imageSize},
                      {38, 4, c.pixelsPerMetre},
                      {42, 4, c.pixelsPerMetre},
                      {46, 4, 0},
                      {50, 4, 0}};
        for (const auto& field : fields)
            EXPECT_EQ(GetField(bytes, field.offset, field.size), field.value)
                << "at offset " << field.offset;
    }
}

TEST(Pictures, DialIsPureWhiteOutsideItsCircleAndMarkedInside) {
    const std::vector<uint8_t> bytes = GetPicture("WATCHFACE");
    ASSERT_EQ(bytes.size(), 196662u);
    int outsideNotWhite = 0, dark = 0, red = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const Pixel p = GetPixel(bytes, 256, x, y);
            // The nearest point of the pixel's square to the centre (128, 128).
            const double nx = x + 1 <= 128 ? x + 1 : (x >= 128 ? x : 128);
            const double ny = y + 1 <= 128 ? y + 1 : (y >= 128 ? y : 128);
            const double dx = nx - 128, dy = ny - 128;
            if (dx * dx + dy * dy >= 128.0 * 128.0) {
                outsideNotWhite += p.r != 255 || p.g != 255 || p.b != 255;
                continue;
            }
            dark += p.r < 64 && p.g < 64 && p.b < 64;
            red += p.r > 150 && p.g < 90 && p.b < 90;
        }
    }
    EXPECT_EQ(outsideNotWhite, 0);
    EXPECT_GT(dark, 1000) << "numerals, strokes and rings";
    EXPECT_GT(red, 50) << "the red minute numbers";
}

TEST(Pictures, ReflectionIsGreyOnAnEightyFieldWithAWhiteCentre) {
    const std::vector<uint8_t> bytes = GetPicture("REFLECTION");
    ASSERT_EQ(bytes.size(), 49206u);
    int coloured = 0, field = 0, darker = 0;
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const Pixel p = GetPixel(bytes, 128, x, y);
            coloured += p.r != p.g || p.g != p.b;
            field += p.r == 80;
            darker += p.r < 80;
        }
    }
    EXPECT_EQ(coloured, 0);
    EXPECT_EQ(darker, 0) << "highlights only lighten the field";
    EXPECT_GT(field, 128 * 128 / 3);
    for (int corner : {0, 127})
        EXPECT_EQ(GetPixel(bytes, 128, corner, corner).r, 80);
    EXPECT_EQ(GetPixel(bytes, 128, 63, 63).r, 255);
    EXPECT_EQ(GetPixel(bytes, 128, 64, 64).r, 255);
    // The light comes from the upper left, and so does the brightest highlight after the
    // centre: the window, clear of the centre's glow.
    int upperLeftBright = 0;
    for (int y = 72; y < 128; ++y)
        for (int x = 0; x < 48; ++x)
            upperLeftBright += GetPixel(bytes, 128, x, y).r > 180;
    EXPECT_GT(upperLeftBright, 100);
}

} // namespace
