// The BMP loader against a real GL context: names, pixel order, GL state, malformed files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

// The Win32 subset before GL, as the loader has it: GL's headers only define APIENTRY
// when nothing has yet.
#include "tests/support/fake_platform.h"
#include "platform/opengl.h"
#include "BMP2/bmp2.h"
#include "platform/offscreen_gl.h"

namespace {

// A hand-made 24-bit bitmap, well formed unless a field is set wrong on purpose.
struct BmpFields {
    int32_t Width = 4;
    int32_t Height = 2;
    uint16_t BitCount = 24;
    uint32_t Compression = 0;
    uint32_t SizeImage = 0;   // 0: the loader works the count out
    uint32_t ColoursUsed = 0; // entries written, unless ColourBytes says otherwise
    int64_t ColourBytes = -1; // colour-table bytes actually written; -1: 4 per entry
    int64_t OffBits = -1;     // -1: right after the colour table
    int64_t PixelBytes = -1;  // pixel bytes actually written; -1: width x height x 3
};

// Colour-table bytes are 0xEE, so a loader that takes them for pixels shows it; pixel byte
// i is i + 1, so the first pixel is 1, 2, 3. Only the first keep bytes are kept.
std::vector<uint8_t> MakeBmp(const BmpFields& f, size_t keep = SIZE_MAX) {
    const int64_t colourBytes = f.ColourBytes >= 0 ? f.ColourBytes : 4 * int64_t{f.ColoursUsed};
    const int64_t pixelBytes = f.PixelBytes >= 0 ? f.PixelBytes : int64_t{f.Width} * f.Height * 3;
    const int64_t offBits = f.OffBits >= 0 ? f.OffBits : 54 + colourBytes;
    std::vector<uint8_t> bytes = {'B', 'M'};
    const uint32_t off = offBits, end = offBits + pixelBytes, w = f.Width, h = f.Height;
    const uint32_t values[] = {
        end,  0,    off,           40, w, h, 1, f.BitCount, f.Compression, f.SizeImage,
        2835, 2835, f.ColoursUsed, 0};
    const int sizes[] = {4, 4, 4, 4, 4, 4, 2, 2, 4, 4, 4, 4, 4, 4};
    for (int field = 0; field < 14; ++field)
        for (int i = 0; i < sizes[field]; ++i)
            bytes.push_back(static_cast<uint8_t>(values[field] >> (8 * i)));
    bytes.insert(bytes.end(), static_cast<size_t>(colourBytes), 0xEE);
    for (int64_t i = 0; i < pixelBytes; ++i)
        bytes.push_back(static_cast<uint8_t>(i + 1));
    bytes.resize(std::min(keep, bytes.size()));
    return bytes;
}

class Bmp2Test : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(MakeOffscreenContext(16, 16)); }
    static void TearDownTestSuite() { DestroyOffscreenContext(); }
    void SetUp() override { fake::Reset(); }

    static GLint GetBoundTexture() {
        GLint bound = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        return bound;
    }

    // Loads a 4 x 2 bitmap and gives back its texels as red, green, blue, bottom row first.
    static std::vector<uint8_t> LoadPixels(const std::vector<uint8_t>& bmp) {
        fake::AddResource("PIXELS", "BMP", bmp);
        GLuint texture = 0;
        EXPECT_TRUE(LoadBmpTexture("pixels.bmp", texture));
        std::vector<uint8_t> texels(4 * 2 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        return texels;
    }

    // A failed load: one box with the expected words, false, the caller's 7 kept, and no
    // texture made (making one would have bound it).
    static void ExpectFailure(const char* fileName, bool missing) {
        glBindTexture(GL_TEXTURE_2D, 0);
        GLuint texture = 7;
        EXPECT_FALSE(LoadBmpTexture(fileName, texture));
        EXPECT_EQ(texture, 7u);
        EXPECT_EQ(GetBoundTexture(), 0);
        ASSERT_EQ(fake::MessageBoxes().size(), 1u);
        const fake::MessageBoxRecord& box = fake::MessageBoxes()[0];
        EXPECT_EQ(box.text, std::string(missing ? "File not found in resource - "
                                                : "Unable to read from resource - ") +
                                fileName);
        EXPECT_EQ(box.caption, missing ? "BMP Texture" : "BMP Unit");
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
    }
};

TEST_F(Bmp2Test, TheStemBeforeTheFirstDotNamesTheResourceInAnyCase) {
    fake::AddResource("DIAL", "BMP", MakeBmp({}));
    fake::AddResource("DIAL.FACE", "BMP", MakeBmp({}, 20));
    const struct {
        const char* fileName;
        int width;
    } cases[] = {{"watchFace.bmp", 256}, {"REFLECTION.bmp", 128}, {"dial.face.bmp", 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName);
        GLuint texture = 7;
        ASSERT_TRUE(LoadBmpTexture(c.fileName, texture));
        EXPECT_NE(texture, 7u);
        EXPECT_EQ(GetBoundTexture(), static_cast<GLint>(texture));
        GLint width = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        EXPECT_EQ(width, c.width);
    }
    EXPECT_TRUE(fake::MessageBoxes().empty());
}

// A name without a dot has no stem, so even "watchFace" finds nothing.
TEST_F(Bmp2Test, AMissingResourceIsReportedWithTheNameAsPassed) {
    for (const char* name : {"watchFace", ".bmp", "", "missing.bmp", "Reflection.bmp"}) {
        SCOPED_TRACE(name);
        fake::Reset();
        fake::RemoveResource("REFLECTION");
        ExpectFailure(name, true);
    }
    fake::Reset();
    fake::FailCall("LoadResource");
    ExpectFailure("watchFace.bmp", true);
    fake::Reset();
    fake::FailCall("LockResource");
    ExpectFailure("watchFace.bmp", false);
}

// biSizeImage 0 means exactly 24 bytes of pixels; the last pixel of the file (bytes 22, 23,
// 24) is the top right texel. A colour table is skipped, and bytes past the pixels that
// biSizeImage still counts are ignored.
TEST_F(Bmp2Test, PixelsReachGlAsRedGreenBlueBottomRowFirst) {
    std::vector<uint8_t> bmp = MakeBmp({});
    ASSERT_EQ(bmp.size(), 54u + 24u);
    bmp[54] = 10, bmp[55] = 20, bmp[56] = 30;
    const std::vector<uint8_t> seen = LoadPixels(bmp);
    EXPECT_EQ(std::vector<uint8_t>(seen.begin(), seen.begin() + 3),
              (std::vector<uint8_t>{30, 20, 10}));
    EXPECT_EQ(std::vector<uint8_t>(seen.end() - 3, seen.end()), (std::vector<uint8_t>{24, 23, 22}));
    for (const BmpFields& fields :
         {BmpFields{4, 2, 24, 0, 0, 2}, BmpFields{4, 2, 24, 0, 30, 0, -1, -1, 30}}) {
        const std::vector<uint8_t> texels = LoadPixels(MakeBmp(fields));
        EXPECT_EQ(std::vector<uint8_t>(texels.begin(), texels.begin() + 3),
                  (std::vector<uint8_t>{3, 2, 1}));
    }
}

TEST_F(Bmp2Test, TwoLoadsLeaveModulateAndTheSecondTextureBound) {
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    GLuint dial = 0, reflection = 0;
    ASSERT_TRUE(LoadBmpTexture("watchFace.bmp", dial));
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    ASSERT_TRUE(LoadBmpTexture("Reflection.bmp", reflection));
    EXPECT_NE(dial, reflection);
    EXPECT_EQ(GetBoundTexture(), static_cast<GLint>(reflection));
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);
}

TEST_F(Bmp2Test, CreateTextureKeepsAlphaForRgba) {
    const std::vector<uint8_t> pixels = {1, 2, 3, 40, 5, 6, 7, 80, 9, 10, 11, 120, 13, 14, 15, 160};
    CreateTexture(2, 2, GL_RGBA, pixels.data());
    std::vector<uint8_t> seen(16);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, seen.data());
    EXPECT_EQ(seen, pixels);
}

// Every malformed or unsupported bitmap ends in the read failure, never in a read or write
// outside a buffer (the sanitizer build watches the fake's exact-size copies). The fields
// run width, height, bits, compression, biSizeImage, biClrUsed, table bytes, bfOffBits and
// pixel bytes.
TEST_F(Bmp2Test, MalformedBitmapsEndInTheReadFailure) {
    const size_t whole = 54 + 24;
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"empty resource", {}},
        {"file header cut short", MakeBmp({}, 10)},
        {"info header cut short", MakeBmp({}, 14 + 20)},
        {"colour table cut short", MakeBmp({4, 2, 24, 0, 0, 2}, 54 + 5)},
        {"pixels one byte short", MakeBmp({}, whole - 1)},
        {"biSizeImage beyond the resource", MakeBmp({4, 2, 24, 0, 25})},
        {"biSizeImage short of the pixels", MakeBmp({4, 2, 24, 0, 23})},
        {"top-down rows", MakeBmp({4, -2})},
        {"negative width", MakeBmp({-4, 2, 24, 0, 0, 0, -1, -1, 24})},
        {"zero width", MakeBmp({0, 2})},
        {"zero height", MakeBmp({4, 0})},
        {"width beyond 16 bits", MakeBmp({65536, 1, 24, 0, 0, 0, -1, -1, 0})},
        {"huge sides", MakeBmp({0x7ffffffc, 0x7fffffff, 24, 0, 0, 0, -1, -1, 24})},
        // 23972 x 59722 x 3 is 2^32 + 56: a 32-bit product would ask for 56 bytes only.
        {"pixel count wrapping 32 bits", MakeBmp({23972, 59722, 24, 0, 0, 0, -1, -1, 56})},
        {"huge biClrUsed", MakeBmp({4, 2, 24, 0, 0, 0xffffffff, 8})},
        // 54 + 4 x 2^30 is 54 again in 32 bits.
        {"biClrUsed wrapping bfOffBits", MakeBmp({4, 2, 24, 0, 0, 0x40000000, 8, 54})},
        {"gap before the pixels", MakeBmp({4, 2, 24, 0, 0, 0, -1, 58})},
        {"8 bits a pixel", MakeBmp({4, 2, 8})},
        {"32 bits a pixel", MakeBmp({4, 2, 32})},
        {"run-length compressed", MakeBmp({4, 2, 24, 1})},
        {"bit fields", MakeBmp({4, 2, 24, 3})},
        {"rows with padding", MakeBmp({3, 2, 24, 0, 0, 0, -1, -1, 24})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake::Reset();
        fake::AddResource("BROKEN", "BMP", c.bytes);
        ExpectFailure("broken.bmp", false);
    }
}

} // namespace
