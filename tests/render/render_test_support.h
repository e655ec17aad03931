// Running the offscreen renderer as the user does, and comparing the pictures it writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RendererRun {
    int status; // the exit status, or -1 if the renderer did not end normally
    std::string output;
    std::string errors;
};

// Runs orlentic-render with arguments, standard output and error captured.
RendererRun RunRenderer(const std::vector<std::string>& arguments);

// A picture of 3 bytes a pixel (red, green, blue), top row first as PNG stores it.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;
};

// False with a reason in error when path is not a readable PNG.
bool ReadPicture(const std::string& path, Picture& picture, std::string& error);

struct PictureDifference {
    double meanChannelDifference[3]; // mean absolute difference of red, green and blue
    double stronglyDifferent;        // fraction of pixels with a channel off by more than 64
};

// Both pictures must have the same size.
PictureDifference ComparePictures(const Picture& a, const Picture& b);
// Within the tolerance of rasteriser rounding: what two renderings of the same frame may
// differ by, and a moved hand or gear may not.
bool IsSamePicture(const PictureDifference& difference);

struct ReferenceCase {
    std::string name;
    std::vector<std::string> arguments;
};

// The cases of reference_cases.txt.
std::vector<ReferenceCase> ReadReferenceCases();

// Where the committed references and the test's own output live.
std::string GetReferencePath(const std::string& name);
std::string GetOutputPath(const std::string& name);
