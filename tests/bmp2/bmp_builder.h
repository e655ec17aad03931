// Hand-made BMP files for the loader's tests: a well-formed 24-bit bitmap by default, with
// every header field open to being set wrong on purpose.
#pragma once

#include <cstdint>
#include <vector>

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

inline void PutLe(std::vector<uint8_t>& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Colour-table bytes are 0xEE, so a loader that takes them for pixels shows it; pixel byte
// i is i + 1, so the first pixel is 1, 2, 3.
inline std::vector<uint8_t> MakeBmp(const BmpFields& f) {
    const int64_t colourBytes = f.ColourBytes >= 0 ? f.ColourBytes : 4 * int64_t{f.ColoursUsed};
    const int64_t pixelBytes = f.PixelBytes >= 0 ? f.PixelBytes : int64_t{f.Width} * f.Height * 3;
    const int64_t offBits = f.OffBits >= 0 ? f.OffBits : 54 + colourBytes;
    std::vector<uint8_t> bytes = {'B', 'M'};
    PutLe(bytes, static_cast<uint32_t>(offBits + pixelBytes), 4);
    PutLe(bytes, 0, 4);
    PutLe(bytes, static_cast<uint32_t>(offBits), 4);
    PutLe(bytes, 40, 4);
    PutLe(bytes, static_cast<uint32_t>(f.Width), 4);
    PutLe(bytes, static_cast<uint32_t>(f.Height), 4);
    PutLe(bytes, 1, 2);
    PutLe(bytes, f.BitCount, 2);
    PutLe(bytes, f.Compression, 4);
    PutLe(bytes, f.SizeImage, 4);
    PutLe(bytes, 2835, 4);
    PutLe(bytes, 2835, 4);
    PutLe(bytes, f.ColoursUsed, 4);
    PutLe(bytes, 0, 4);
    bytes.insert(bytes.end(), static_cast<size_t>(colourBytes), 0xEE);
    for (int64_t i = 0; i < pixelBytes; ++i)
        bytes.push_back(static_cast<uint8_t>(i + 1));
    return bytes;
}

// The first count bytes of a well-formed bitmap.
inline std::vector<uint8_t> Truncate(std::vector<uint8_t> bytes, size_t count) {
    bytes.resize(count);
    return bytes;
}
