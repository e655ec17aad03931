#include "tools/render/png_file.h"

#include <png.h>

bool WritePngFile(const std::string& path, int32_t width, int32_t height,
                  const std::vector<uint8_t>& pixels, std::string& error) {
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    if (width <= 0 || height <= 0 || pixels.size() != rowBytes * static_cast<size_t>(height)) {
        error = "the picture's pixels do not match its size";
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    // A negative stride tells libpng that the buffer holds the bottom row first.
    const png_int_32 stride = -static_cast<png_int_32>(rowBytes);
    if (!png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), stride, nullptr)) {
        error = "cannot write " + path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}
