// The BMP loader against a real GL context: names, pixel order, GL state, malformed files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

// The Win32 subset before GL, as the loader has it: GL's headers only define APIENTRY
// when nothing has yet.
#include "tests/support/fake_platform.h"
#include "platform/opengl.h"
#include "BMP2/bmp2.h"
#include "tests/bmp2/bmp_builder.h"
#include "tests/support/gl_context.h"

namespace {

const GLuint Untouched = 7; // what the caller's variable holds before a load

class Bmp2Test : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(MakeOffscreenContext(16, 16)); }
    static void TearDownTestSuite() { DestroyOffscreenContext(); }
    void SetUp() override {
        fake::Reset();
        glBindTexture(GL_TEXTURE_2D, 0);
    }

    static GLint GetBoundTexture() {
        GLint bound = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        return bound;
    }

    static GLint GetLevelSide(GLint level, GLenum side) {
        GLint value = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, side, &value);
        return value;
    }

    // The bound texture's level 0 as red, green, blue bytes, bottom row first.
    static std::vector<uint8_t> ReadBoundTexture(int width, int height) {
        std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // A failed load: one box with the expected words, false, the caller's 7 kept, and no
    // texture made (making one would have bound it).
    static void ExpectFailure(const char* fileName, const std::string& text,
                              const std::string& caption) {
        glBindTexture(GL_TEXTURE_2D, 0);
        GLuint texture = Untouched;
        EXPECT_FALSE(LoadBmpTexture(fileName, texture));
        EXPECT_EQ(texture, Untouched);
        EXPECT_EQ(GetBoundTexture(), 0);
        ASSERT_EQ(fake::MessageBoxes().size(), 1u);
        const fake::MessageBoxRecord& box = fake::MessageBoxes()[0];
        EXPECT_EQ(box.text, text + fileName);
        EXPECT_EQ(box.caption, caption);
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
    }

    static void ExpectReadFailure(const char* fileName) {
        ExpectFailure(fileName, "Unable to read from resource - ", "BMP Unit");
    }

    static void ExpectMissing(const char* fileName) {
        ExpectFailure(fileName, "File not found in resource - ", "BMP Texture");
    }
};

TEST_F(Bmp2Test, TheStemBeforeTheFirstDotNamesTheResourceInAnyCase) {
    fake::AddResource("DIAL", "BMP", MakeBmp({}));
    fake::AddResource("DIAL.FACE", "BMP", Truncate(MakeBmp({}), 20));
    const struct {
        const char* fileName;
        int width, height;
    } cases[] = {
        {"watchFace.bmp", 256, 256}, {"REFLECTION.bmp", 128, 128}, {"dial.face.bmp", 4, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName);
        GLuint texture = Untouched;
        ASSERT_TRUE(LoadBmpTexture(c.fileName, texture));
        EXPECT_NE(texture, Untouched);
        EXPECT_TRUE(glIsTexture(texture));
        EXPECT_EQ(GetBoundTexture(), static_cast<GLint>(texture));
        EXPECT_EQ(GetLevelSide(0, GL_TEXTURE_WIDTH), c.width);
        EXPECT_EQ(GetLevelSide(0, GL_TEXTURE_HEIGHT), c.height);
    }
    EXPECT_TRUE(fake::MessageBoxes().empty());
}

// A name without a dot has no stem, so even "watchFace" finds nothing.
TEST_F(Bmp2Test, AMissingResourceIsReportedWithTheNameAsPassed) {
    const char* const names[] = {"watchFace", ".bmp", "", "missing.bmp", "Reflection.bmp"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        fake::Reset();
        fake::RemoveResource("REFLECTION");
        ExpectMissing(name);
    }
    fake::Reset();
    fake::FailCall("LoadResource");
    ExpectMissing("watchFace.bmp");
}

TEST_F(Bmp2Test, PixelsReachGlAsRedGreenBlueBottomRowFirst) {
    BmpFields fields; // 4 x 2, biSizeImage 0: exactly 24 bytes of pixels
    std::vector<uint8_t> bmp = MakeBmp(fields);
    ASSERT_EQ(bmp.size(), 54u + 24u);
    bmp[54] = 10, bmp[55] = 20, bmp[56] = 30;
    fake::AddResource("PIXELS", "BMP", bmp);
    GLuint texture = 0;
    ASSERT_TRUE(LoadBmpTexture("pixels.bmp", texture));
    const std::vector<uint8_t> seen = ReadBoundTexture(4, 2);
    EXPECT_EQ((std::vector<uint8_t>{seen[0], seen[1], seen[2]}),
              (std::vector<uint8_t>{30, 20, 10}));
    // The last pixel of the file (bytes 22, 23, 24) is the top right texel.
    EXPECT_EQ((std::vector<uint8_t>{seen[21], seen[22], seen[23]}),
              (std::vector<uint8_t>{24, 23, 22}));
}

TEST_F(Bmp2Test, TheColourTableIsSkippedAndTheBytesAfterThePixelsIgnored) {
    BmpFields withTable; // 8 bytes of 0xEE between the headers and the pixels
    withTable.ColoursUsed = 2;
    BmpFields largerImage; // biSizeImage beyond the pixels, still inside the resource
    largerImage.SizeImage = 30;
    largerImage.PixelBytes = 30;
    for (const BmpFields& fields : {withTable, largerImage}) {
        fake::Reset();
        fake::AddResource("PIXELS", "BMP", MakeBmp(fields));
        GLuint texture = 0;
        ASSERT_TRUE(LoadBmpTexture("pixels.bmp", texture));
        const std::vector<uint8_t> seen = ReadBoundTexture(4, 2);
        EXPECT_EQ((std::vector<uint8_t>{seen[0], seen[1], seen[2]}),
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
    // Mipmaps are built, but the minifying filter never samples them.
    EXPECT_EQ(GetLevelSide(1, GL_TEXTURE_WIDTH), 64);
    GLint minFilter = 0, magFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(minFilter, GL_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
}

TEST_F(Bmp2Test, CreateTextureKeepsAlphaForRgba) {
    const uint8_t pixels[4 * 4] = {1, 2, 3, 40, 5, 6, 7, 80, 9, 10, 11, 120, 13, 14, 15, 160};
    const GLuint texture = CreateTexture(2, 2, GL_RGBA, pixels);
    EXPECT_EQ(GetBoundTexture(), static_cast<GLint>(texture));
    uint8_t seen[4 * 4] = {};
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, seen);
    EXPECT_EQ(std::vector<uint8_t>(seen, seen + 16), std::vector<uint8_t>(pixels, pixels + 16));
}

TEST_F(Bmp2Test, SwapRedBlueTouchesOnlyTheCountedPixels) {
    uint8_t bytes[7] = {1, 2, 3, 4, 5, 6, 7};
    SwapRedBlue(bytes, 0);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 7), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7}));
    SwapRedBlue(bytes, 2);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 7), (std::vector<uint8_t>{3, 2, 1, 6, 5, 4, 7}));
}

// Every malformed or unsupported bitmap ends in the read failure, never in a read or write
// outside a buffer (the sanitizer build watches the fake's exact-size copies).
struct MalformedCase {
    const char* what;
    std::vector<uint8_t> bytes;
};

BmpFields With(void (*change)(BmpFields&)) {
    BmpFields fields;
    change(fields);
    return fields;
}

std::vector<MalformedCase> MakeMalformedCases() {
    const std::vector<uint8_t> good = MakeBmp({});
    BmpFields table;
    table.ColoursUsed = 2;
    return {
        {"empty resource", {}},
        {"file header cut short", Truncate(good, 10)},
        {"info header cut short", Truncate(good, 14 + 20)},
        {"colour table cut short", Truncate(MakeBmp(table), 54 + 5)},
        {"pixels one byte short", Truncate(good, good.size() - 1)},
        {"biSizeImage beyond the resource", MakeBmp(With([](BmpFields& f) { f.SizeImage = 25; }))},
        {"biSizeImage short of the pixels", MakeBmp(With([](BmpFields& f) { f.SizeImage = 23; }))},
        {"top-down rows", MakeBmp(With([](BmpFields& f) { f.Height = -2; }))},
        {"negative width", MakeBmp(With([](BmpFields& f) {
             f.Width = -4;
             f.PixelBytes = 24;
         }))},
        {"zero width", MakeBmp(With([](BmpFields& f) { f.Width = 0; }))},
        {"zero height", MakeBmp(With([](BmpFields& f) { f.Height = 0; }))},
        {"width beyond 16 bits", MakeBmp(With([](BmpFields& f) {
             f.Width = 65536;
             f.Height = 1;
             f.PixelBytes = 0;
         }))},
        {"huge sides", MakeBmp(With([](BmpFields& f) {
             f.Width = 0x7ffffffc;
             f.Height = 0x7fffffff;
             f.PixelBytes = 24;
         }))},
        // 23972 x 59722 x 3 is 2^32 + 56: a 32-bit product would ask for 56 bytes only.
        {"pixel count wrapping 32 bits", MakeBmp(With([](BmpFields& f) {
             f.Width = 23972;
             f.Height = 59722;
             f.PixelBytes = 56;
         }))},
        {"huge biClrUsed", MakeBmp(With([](BmpFields& f) {
             f.ColoursUsed = 0xffffffff;
             f.ColourBytes = 8;
         }))},
        // 54 + 4 x 2^30 is 54 again in 32 bits.
        {"biClrUsed wrapping bfOffBits", MakeBmp(With([](BmpFields& f) {
             f.ColoursUsed = 0x40000000;
             f.ColourBytes = 8;
             f.OffBits = 54;
         }))},
        {"gap before the pixels", MakeBmp(With([](BmpFields& f) { f.OffBits = 58; }))},
        {"8 bits a pixel", MakeBmp(With([](BmpFields& f) { f.BitCount = 8; }))},
        {"32 bits a pixel", MakeBmp(With([](BmpFields& f) { f.BitCount = 32; }))},
        {"run-length compressed", MakeBmp(With([](BmpFields& f) { f.Compression = 1; }))},
        {"bit fields", MakeBmp(With([](BmpFields& f) { f.Compression = 3; }))},
        {"rows with padding", MakeBmp(With([](BmpFields& f) {
             f.Width = 3;
             f.PixelBytes = 24;
         }))},
    };
}

TEST_F(Bmp2Test, MalformedBitmapsEndInTheReadFailure) {
    for (const MalformedCase& c : MakeMalformedCases()) {
        SCOPED_TRACE(c.what);
        fake::Reset();
        fake::AddResource("BROKEN", "BMP", c.bytes);
        ExpectReadFailure("broken.bmp");
    }
}

TEST_F(Bmp2Test, AResourceThatCannotBeLockedIsAReadFailure) {
    fake::FailCall("LockResource");
    ExpectReadFailure("watchFace.bmp");
}

} // namespace
