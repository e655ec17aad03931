// Textures from 24-bit BMP files held among the program's own resources (type "BMP").
//
// Only the kind of bitmap the program ships is accepted: 24 bits a pixel, uncompressed,
// bottom row first, rows that need no padding, pixel data right after the colour table.
// Anything else is refused with the read-failure message rather than guessed at, so the
// colour swap and the upload never see more pixels than the buffer holds.
#include "platform/win32.h"
#include "platform/opengl.h"

#include "BMP2/bmp2.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

const uint32_t FileHeaderSize = 14;
const uint32_t InfoHeaderSize = 40;
const uint32_t ColourEntrySize = 4; // blue, green, red, reserved
const uint32_t BytesPerPixel = 3;   // blue, green, red
const int64_t LargestSide = 65535;  // CreateTexture takes 16-bit sides

// The resource's bytes, read front to back; a read delivers its whole count or nothing.
struct ResourceStream {
    const uint8_t* Bytes;
    uint64_t Size;
    uint64_t Position;
};

// The info-header fields the loader looks at, plus bfOffBits from the file header.
struct BitmapHeader {
    uint32_t PixelOffset; // bfOffBits
    int32_t Width;        // biWidth
    int32_t Height;       // biHeight, positive when the bottom row comes first
    uint16_t BitCount;    // biBitCount
    uint32_t Compression; // biCompression, 0 when uncompressed
    uint32_t SizeImage;   // biSizeImage, 0 when the loader is to work the count out
    uint32_t ColoursUsed; // biClrUsed
};

uint16_t GetLe16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t GetLe32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

bool ReadBytes(ResourceStream& stream, uint8_t* destination, uint64_t count) {
    if (count > stream.Size - stream.Position)
        return false;
    if (count > 0)
        std::memcpy(destination, stream.Bytes + stream.Position, count);
    stream.Position += count;
    return true;
}

// The buffer is sized only once the resource is known to hold the bytes, so a header that
// claims gigabytes cannot make the loader ask for them.
bool ReadIntoBuffer(ResourceStream& stream, std::vector<uint8_t>& buffer, uint64_t count) {
    if (count > stream.Size - stream.Position)
        return false;
    try {
        buffer.resize(count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return ReadBytes(stream, buffer.data(), count);
}

bool ReadHeaders(ResourceStream& stream, BitmapHeader& header) {
    uint8_t fileHeader[FileHeaderSize];
    uint8_t infoHeader[InfoHeaderSize];
    if (!ReadBytes(stream, fileHeader, FileHeaderSize) ||
        !ReadBytes(stream, infoHeader, InfoHeaderSize))
        return false;
    header.PixelOffset = GetLe32(fileHeader + 10);
    header.Width = static_cast<int32_t>(GetLe32(infoHeader + 4));
    header.Height = static_cast<int32_t>(GetLe32(infoHeader + 8));
    header.BitCount = GetLe16(infoHeader + 14);
    header.Compression = GetLe32(infoHeader + 16);
    header.SizeImage = GetLe32(infoHeader + 20);
    header.ColoursUsed = GetLe32(infoHeader + 32);
    return true;
}

uint64_t GetColourTableSize(const BitmapHeader& header) {
    return static_cast<uint64_t>(header.ColoursUsed) * ColourEntrySize;
}

// 64-bit, so sides up to 65535 cannot overflow the product.
uint64_t GetPixelBytes(const BitmapHeader& header) {
    return static_cast<uint64_t>(header.Width) * static_cast<uint64_t>(header.Height) *
           BytesPerPixel;
}

// Rows of 3 x width bytes are a multiple of 4 only when the width is, which is what lets
// the pixels be read as one run without padding and uploaded with the default unpack
// alignment of 4.
bool IsSupportedBitmap(const BitmapHeader& header) {
    if (header.BitCount != 24 || header.Compression != 0)
        return false;
    if (header.Width <= 0 || header.Height <= 0)
        return false;
    if (header.Width > LargestSide || header.Height > LargestSide)
        return false;
    if (header.Width % 4 != 0)
        return false;
    return header.PixelOffset == FileHeaderSize + InfoHeaderSize + GetColourTableSize(header);
}

// biSizeImage may be 0, in which case the count follows from the sides; a count too small
// for width x height pixels is refused, since the swap and the upload would run past it.
bool GetImageByteCount(const BitmapHeader& header, uint64_t& count) {
    const uint64_t pixelBytes = GetPixelBytes(header);
    count = header.SizeImage == 0 ? pixelBytes : header.SizeImage;
    return count >= pixelBytes;
}

bool ReadPixels(ResourceStream& stream, std::vector<uint8_t>& pixels, BitmapHeader& header) {
    if (!ReadHeaders(stream, header) || !IsSupportedBitmap(header))
        return false;
    std::vector<uint8_t> colourTable; // read past and dropped: no pixel is looked up in it
    if (!ReadIntoBuffer(stream, colourTable, GetColourTableSize(header)))
        return false;
    uint64_t byteCount = 0;
    if (!GetImageByteCount(header, byteCount))
        return false;
    return ReadIntoBuffer(stream, pixels, byteCount);
}

// The resource name is the file name up to its first ".": "watchFace.bmp" names WATCHFACE.
// A name without a "." has no stem at all, and so names no resource.
std::string GetResourceName(const char* fileName) {
    const std::string name = fileName;
    const size_t dot = name.find('.');
    return dot == std::string::npos ? std::string() : name.substr(0, dot);
}

void ReportFailure(const char* text, const char* fileName, const char* caption) {
    const std::string message = std::string(text) + fileName;
    MessageBoxA(nullptr, message.c_str(), caption, MB_OK);
}

// A NULL module names the program itself.
bool OpenResource(const char* fileName, ResourceStream& stream, bool& found) {
    const std::string resourceName = GetResourceName(fileName);
    HRSRC resource = FindResourceA(nullptr, resourceName.c_str(), "BMP");
    HGLOBAL data = resource != nullptr ? LoadResource(nullptr, resource) : nullptr;
    found = data != nullptr;
    if (!found)
        return false;
    stream.Bytes = static_cast<const uint8_t*>(LockResource(data));
    stream.Size = SizeofResource(nullptr, resource);
    stream.Position = 0;
    return stream.Bytes != nullptr;
}

} // namespace

bool LoadBmpTexture(const char* fileName, GLuint& texture) {
    if (fileName == nullptr)
        fileName = "";
    ResourceStream stream = {};
    bool found = false;
    if (!OpenResource(fileName, stream, found)) {
        if (!found)
            ReportFailure("File not found in resource - ", fileName, "BMP Texture");
        else
            ReportFailure("Unable to read from resource - ", fileName, "BMP Unit");
        return false;
    }
    std::vector<uint8_t> pixels;
    BitmapHeader header = {};
    if (!ReadPixels(stream, pixels, header)) {
        ReportFailure("Unable to read from resource - ", fileName, "BMP Unit");
        return false;
    }
    const auto width = static_cast<uint16_t>(header.Width);
    const auto height = static_cast<uint16_t>(header.Height);
    SwapRedBlue(pixels.data(), static_cast<uint32_t>(width) * height);
    texture = CreateTexture(width, height, GL_RGB, pixels.data());
    return true;
}

GLuint CreateTexture(uint16_t width, uint16_t height, uint16_t format, const uint8_t* pixels) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    // Environment state, not the texture's: every load sets it again.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // The mipmaps below are built but never sampled: the minifying filter is plain linear.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    if (format == GL_RGBA)
        gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    else // the internal format is the component count 3, as GL 1.0 took it
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    return name;
}

void SwapRedBlue(uint8_t* pixels, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t* pixel = pixels + static_cast<size_t>(i) * BytesPerPixel;
        const uint8_t blue = pixel[0];
        pixel[0] = pixel[2];
        pixel[2] = blue;
    }
}
