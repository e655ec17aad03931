#include "tests/render/render_test_support.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A channel this far off is no rounding: the pixel shows something else.
const int StrongDifference = 64;
// Rounding moves an edge here and there by a pixel and shifts colours by a level or two: a
// turn of the watch by a twentieth of a degree changes about 50 pixels of a 400 by 300
// frame completely, while the seconds hand a quarter turn on changes 90 and the minute hand
// five minutes on 300.
const double LargestMeanDifference = 0.5;
const double LargestStronglyDifferent = 0.0005;

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

RendererRun RunRenderer(const std::vector<std::string>& arguments) {
    // The tests run in parallel, each in a process of its own.
    const std::string suffix = std::to_string(getpid()) + ".txt";
    const std::string outputPath = GetOutputPath("stdout-" + suffix);
    const std::string errorsPath = GetOutputPath("stderr-" + suffix);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(ORLENTIC_RENDER_PATH));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child == 0) {
        const int output = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int errors = open(errorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(output, 1);
        dup2(errors, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    RendererRun run{-1, "", ""};
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    run.output = ReadWholeFile(outputPath);
    run.errors = ReadWholeFile(errorsPath);
    unlink(outputPath.c_str());
    unlink(errorsPath.c_str());
    return run;
}

bool ReadPicture(const std::string& path, Picture& picture, std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        error = path + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    picture.width = static_cast<int32_t>(image.width);
    picture.height = static_cast<int32_t>(image.height);
    picture.pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) {
        error = path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

PictureDifference ComparePictures(const Picture& a, const Picture& b) {
    PictureDifference difference{{0.0, 0.0, 0.0}, 0.0};
    const size_t pixelCount = a.pixels.size() / 3;
    if (pixelCount == 0)
        return difference;
    uint64_t sums[3] = {0, 0, 0};
    uint64_t strong = 0;
    for (size_t i = 0; i < pixelCount; ++i) {
        int largest = 0;
        for (int c = 0; c < 3; ++c) {
            const int channel = std::abs(a.pixels[i * 3 + c] - b.pixels[i * 3 + c]);
            sums[c] += static_cast<uint64_t>(channel);
            largest = std::max(largest, channel);
        }
        strong += largest > StrongDifference ? 1 : 0;
    }
    for (int c = 0; c < 3; ++c)
        difference.meanChannelDifference[c] = static_cast<double>(sums[c]) / pixelCount;
    difference.stronglyDifferent = static_cast<double>(strong) / pixelCount;
    return difference;
}

bool IsSamePicture(const PictureDifference& difference) {
    for (double mean : difference.meanChannelDifference)
        if (mean > LargestMeanDifference)
            return false;
    return difference.stronglyDifferent <= LargestStronglyDifferent;
}

std::vector<ReferenceCase> ReadReferenceCases() {
    std::ifstream file(std::string(ORLENTIC_RENDER_TEST_DIR) + "/reference_cases.txt");
    std::vector<ReferenceCase> cases;
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        ReferenceCase entry;
        if (!(words >> entry.name) || entry.name[0] == '#')
            continue;
        for (std::string word; words >> word;)
            entry.arguments.push_back(word);
        cases.push_back(entry);
    }
    return cases;
}

std::string GetReferencePath(const std::string& name) {
    return std::string(ORLENTIC_RENDER_TEST_DIR) + "/references/" + name + ".png";
}

std::string GetOutputPath(const std::string& name) {
    return std::string(ORLENTIC_RENDER_OUTPUT_DIR) + "/" + name;
}
