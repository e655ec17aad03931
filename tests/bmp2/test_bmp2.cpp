// The BMP loader on a real GL context: the textures it leaves and the failures it reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// The Win32 subset before GL: GL's headers define APIENTRY only when nothing has yet.
#include "tests/support/fake_platform.h"
#include "platform/opengl.h"
#include "BMP2/bmp2.h"
#include "platform/offscreen_gl.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A 24-bit bitmap, well formed unless a field is set wrong on purpose.
struct BmpFields {
    int32_t Width = 4, Height = 2;
    uint16_t BitCount = 24;
    uint32_t Compression = 0, SizeImage = 0, ColoursUsed = 0;
    int64_t ColourBytes = -1; // colour-table bytes written; -1: 4 per entry
    int64_t OffBits = -1;     // -1: right after the colour table
    int64_t PixelBytes = -1;  // pixel bytes written; -1: width x height x 3
};

// Colour-table bytes are 0xEE; pixel byte i is i + 1. Only the first keep bytes are kept.
Bytes MakeBmp(const BmpFields& f, size_t keep = SIZE_MAX) {
    const int64_t colourBytes = f.ColourBytes >= 0 ? f.ColourBytes : 4 * int64_t{f.ColoursUsed};
    const int64_t pixelBytes = f.PixelBytes >= 0 ? f.PixelBytes : int64_t{f.Width} * f.Height * 3;
    const int64_t offBits = f.OffBits >= 0 ? f.OffBits : 54 + colourBytes;
    const uint32_t off = offBits, end = offBits + pixelBytes, w = f.Width, h = f.Height;
    const uint32_t values[] = {
        end,  0,    off,           40, w, h, 1, f.BitCount, f.Compression, f.SizeImage,
        2835, 2835, f.ColoursUsed, 0};
    const int sizes[] = {4, 4, 4, 4, 4, 4, 2, 2, 4, 4, 4, 4, 4, 4};
    Bytes bytes = {'B', 'M'};
    for (int field = 0; field < 14; ++field)
        for (int i = 0; i < sizes[field]; ++i)
            bytes.push_back(static_cast<uint8_t>(values[field] >> (8 * i)));
    bytes.insert(bytes.end(), static_cast<size_t>(colourBytes), 0xEE);
    for (int64_t i = 0; i < pixelBytes; ++i)
        bytes.push_back(static_cast<uint8_t>(i + 1));
    bytes.resize(std::min(keep, bytes.size()));
    return bytes;
}

class Bmp2 : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(MakeOffscreenContext(16, 16)); }
    static void TearDownTestSuite() { DestroyOffscreenContext(); }
    void SetUp() override { fake::Reset(); }
};

// Mipmaps made, but the linear filters never sample them. The made-up bitmaps' last pixel
// (bytes 22, 23, 24) lies past a skipped colour table or biSizeImage's extra bytes.
TEST_F(Bmp2, EachLoadLeavesARedFirstLinearTextureBound) {
    Bytes plain = MakeBmp({});
    plain[54] = 10, plain[55] = 20, plain[56] = 30;
    const struct {
        const char* fileName;
        Bytes bytes, corners; // the DIAL resource; the first and the last texel
        int width, height;
    } cases[] = {
        {"watchFace.bmp", {}, Bytes(6, 255), 256, 256},
        {"REFLECTION.bmp", {}, Bytes(6, 80), 128, 128},
        {"dial.face.bmp", plain, {30, 20, 10, 24, 23, 22}, 4, 2},
        {"Dial.bmp", MakeBmp({4, 2, 24, 0, 0, 2}), {3, 2, 1, 24, 23, 22}, 4, 2},
        {"dial.bmp", MakeBmp({4, 2, 24, 0, 30, 0, -1, -1, 30}), {3, 2, 1, 24, 23, 22}, 4, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName);
        fake::AddResource("DIAL", "BMP", c.bytes);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
        GLuint texture = 0;
        ASSERT_TRUE(LoadBmpTexture(c.fileName, texture));
        GLint state[7] = {};
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &state[0]);
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &state[1]);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &state[2]);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &state[3]);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &state[4]);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &state[5]);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &state[6]);
        EXPECT_EQ(std::vector<GLint>(state, state + 7),
                  (std::vector<GLint>{static_cast<GLint>(texture), GL_MODULATE, GL_LINEAR,
                                      GL_LINEAR, c.width, c.height, c.width / 2}));
        Bytes texels(static_cast<size_t>(c.width) * c.height * 3);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        const size_t last = texels.size() - 3;
        EXPECT_EQ((Bytes{texels[0], texels[1], texels[2], texels[last], texels[last + 1],
                         texels[last + 2]}),
                  c.corners);
    }
}

// A malformed bitmap is refused without a read outside a buffer (the sanitizer build watches
// the fake's exact-size copies). MakeBmp's fields run width, height, bits, compression,
// biSizeImage, biClrUsed, table bytes, bfOffBits, pixel bytes.
TEST_F(Bmp2, EachFailureShowsOneBoxAndKeepsTheCallersTexture) {
    const struct {
        const char* what;
        Bytes bytes; // the BROKEN resource
        const char* fileName = "broken.bmp";
        const char* failingCall = ""; // "": none
        bool missing = false;
    } cases[] = {
        {"no dot", {}, "watchFace", "", true},
        {"no such resource", {}, "Missing.bmp", "", true},
        {"resource not loaded", {}, "watchFace.bmp", "LoadResource", true},
        {"resource not locked", {}, "watchFace.bmp", "LockResource"},
        {"info header cut short", MakeBmp({}, 14 + 20)},
        {"pixels one byte short", MakeBmp({}, 54 + 23)},
        {"biSizeImage short of the pixels", MakeBmp({4, 2, 24, 0, 23})},
        {"zero width", MakeBmp({0, 2})},
        {"zero height", MakeBmp({4, 0})},
        {"width beyond 16 bits", MakeBmp({65536, 1})},
        {"23972 x 59722 x 3 wrapping 32 bits to 56",
         MakeBmp({23972, 59722, 24, 0, 0, 0, -1, -1, 56})},
        {"54 + 4 x 2^30 table bytes wrapping 32 bits to 54",
         MakeBmp({4, 2, 24, 0, 0, 0x40000000, 8, 54})},
        {"gap before the pixels", MakeBmp({4, 2, 24, 0, 0, 0, -1, 58})},
        {"32 bits a pixel", MakeBmp({4, 2, 32})},
        {"run-length compressed", MakeBmp({4, 2, 24, 1})},
        {"rows with padding", MakeBmp({6, 2})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake::Reset();
        fake::AddResource("BROKEN", "BMP", c.bytes);
        fake::Recorded.failing.insert(c.failingCall);
        GLuint texture = 7;
        EXPECT_FALSE(LoadBmpTexture(c.fileName, texture));
        EXPECT_EQ(texture, 7u);
        ASSERT_EQ(fake::Recorded.boxes.size(), 1u);
        const fake::MessageBoxRecord& box = fake::Recorded.boxes[0];
        const std::string expected = c.missing ? "BMP Texture: File not found in resource - "
                                               : "BMP Unit: Unable to read from resource - ";
        EXPECT_EQ(box.caption + ": " + box.text, expected + c.fileName);
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
    }
}

} // namespace
