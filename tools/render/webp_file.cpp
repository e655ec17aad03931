// Lossless, because the frames are flat colours and hard edges (no antialiasing): it keeps
// them exact at about the size of a dithered 256-colour GIF of the same frames.
#include "tools/render/webp_file.h"

#include <cstdio>
#include <cstring>
#include <webp/encode.h>
#include <webp/mux.h>

namespace {

// Encodes one frame at timestampMs; the rows turn top first, as WebP stores them.
bool AddFrame(WebPAnimEncoder* encoder, const WebPConfig& config, int32_t width, int32_t height,
              const std::vector<uint8_t>& pixels, int timestampMs) {
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    if (pixels.size() != rowBytes * static_cast<size_t>(height))
        return false;
    std::vector<uint8_t> topFirst(pixels.size());
    for (int32_t row = 0; row < height; ++row)
        std::memcpy(&topFirst[row * rowBytes], &pixels[(height - 1 - row) * rowBytes], rowBytes);
    WebPPicture picture;
    if (!WebPPictureInit(&picture))
        return false;
    picture.use_argb = 1;
    picture.width = width;
    picture.height = height;
    const bool added =
        WebPPictureImportRGB(&picture, topFirst.data(), static_cast<int>(rowBytes)) &&
        WebPAnimEncoderAdd(encoder, &picture, timestampMs, &config);
    WebPPictureFree(&picture);
    return added;
}

bool WriteBytes(const std::string& path, const WebPData& data) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(data.bytes, 1, data.size, file) == data.size;
    return std::fclose(file) == 0 && written;
}

} // namespace

bool WriteWebpAnimation(const std::string& path, int32_t width, int32_t height, int32_t frameCount,
                        int32_t intervalMs, const FrameDrawer& drawFrame, std::string& error) {
    WebPAnimEncoderOptions options;
    WebPConfig config;
    if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&config)) {
        error = "the WebP library does not match its headers";
        return false;
    }
    options.anim_params.loop_count = 0; // for ever
    config.lossless = 1;
    WebPAnimEncoder* encoder = WebPAnimEncoderNew(width, height, &options);
    bool done = encoder != nullptr;
    for (int32_t frame = 0; done && frame < frameCount; ++frame)
        done = AddFrame(encoder, config, width, height, drawFrame(frame), frame * intervalMs);
    // The last frame is shown for an interval too before the animation starts again.
    WebPData data;
    WebPDataInit(&data);
    done = done && WebPAnimEncoderAdd(encoder, nullptr, frameCount * intervalMs, nullptr) &&
           WebPAnimEncoderAssemble(encoder, &data);
    if (!done)
        error = "cannot encode the animation" +
                (encoder != nullptr ? ": " + std::string(WebPAnimEncoderGetError(encoder)) : "");
    else if (!WriteBytes(path, data))
        error = "cannot write " + path;
    WebPDataClear(&data);
    WebPAnimEncoderDelete(encoder);
    return error.empty();
}
