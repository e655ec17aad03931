// Draws the program's two pictures and writes them as 24-bit BMP files:
//   resources/watchFace.bmp   the dial, 256 x 256
//   resources/Reflection.bmp  the sphere-map environment of the case, 128 x 128
//
// Rerun it after changing a picture (the files are committed, the program embeds them):
//   cmake --build BUILD --target make_pictures && BUILD/tools/pictures/make_pictures resources
// The output is the same on every run: the fonts are loaded from their files with hinting
// off, and the reflection is computed from +, *, / and sqrt only.
#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const NumeralFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Italic.ttf";
const char* const SmallFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf";
const char* const RedFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";

const int DialSide = 256;
const int ReflectionSide = 128;
const uint32_t DialPixelsPerMetre = 11827;      // 300 dots per inch
const uint32_t ReflectionPixelsPerMetre = 2851; // 72 dots per inch

// Dial layout in pixels from the centre. The dial disk has radius 6.8 units drawn over 128
// pixels, so a unit is 18.8 pixels: the minute hand (6 units) reaches 113, the hour hand
// (4 units) 75, and the seconds hand turns 3.94 units (74 pixels) below the centre and
// reaches 1.6 units (30 pixels) from there.
const double Centre = 128.0;
const double TrackInner = 106.0; // minute strokes run between these two circles
const double TrackOuter = 113.0;
const double RedNumberRadius = 119.5;  // 5, 10, ... 60 just outside the track
const double RedNumberSize = 8.0;      // em size
const double HourNumeralRadius = 84.0; // 1 ... 12 inside the track
const double HourNumeralSize = 23.0;
const double CentreRingRadius = 4.5;
const double SubDialDrop = 74.0;   // under the seconds hand's pivot
const double SubDialRadius = 27.5; // just inside the track at six
const double SubNumberRadius = 17.0;
const double SubNumberSize = 7.0;

const double Pi = 3.14159265358979323846;

enum FontKind { NumeralFont, SmallFont, RedFont, FontCount };

struct Fonts {
    FT_Library Library;
    FT_Face FreeTypeFaces[FontCount];
    cairo_font_face_t* Faces[FontCount];
};

// --- writing -------------------------------------------------------------------------------

void PutLe16(std::vector<uint8_t>& bytes, uint32_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void PutLe32(std::vector<uint8_t>& bytes, uint32_t value) {
    PutLe16(bytes, value & 0xffff);
    PutLe16(bytes, value >> 16);
}

// A complete 24-bit uncompressed BMP, bottom row first; the sides are multiples of 4, so
// the rows need no padding.
std::vector<uint8_t> EncodeBmp(cairo_surface_t* surface, uint32_t pixelsPerMetre) {
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const uint8_t* data = cairo_image_surface_get_data(surface);
    const uint32_t imageSize = static_cast<uint32_t>(width * height * 3);
    std::vector<uint8_t> bytes;
    bytes.push_back('B');
    bytes.push_back('M');
    PutLe32(bytes, 14 + 40 + imageSize); // bfSize
    PutLe32(bytes, 0);                   // bfReserved1, bfReserved2
    PutLe32(bytes, 14 + 40);             // bfOffBits: no colour table
    PutLe32(bytes, 40);                  // biSize
    PutLe32(bytes, static_cast<uint32_t>(width));
    PutLe32(bytes, static_cast<uint32_t>(height)); // positive: bottom row first
    PutLe16(bytes, 1);                             // biPlanes
    PutLe16(bytes, 24);                            // biBitCount
    PutLe32(bytes, 0);                             // biCompression
    PutLe32(bytes, imageSize);
    PutLe32(bytes, pixelsPerMetre);
    PutLe32(bytes, pixelsPerMetre);
    PutLe32(bytes, 0); // biClrUsed
    PutLe32(bytes, 0); // biClrImportant
    for (int y = height - 1; y >= 0; --y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x) {
            bytes.push_back(static_cast<uint8_t>(row[x]));       // blue
            bytes.push_back(static_cast<uint8_t>(row[x] >> 8));  // green
            bytes.push_back(static_cast<uint8_t>(row[x] >> 16)); // red
        }
    }
    return bytes;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// --- fonts ---------------------------------------------------------------------------------

cairo_font_face_t* LoadFontFace(FT_Library library, const char* path, FT_Face& face) {
    if (FT_New_Face(library, path, 0, &face) != 0) {
        std::fprintf(stderr, "make_pictures: cannot load the font %s\n", path);
        return nullptr;
    }
    return cairo_ft_font_face_create_for_ft_face(face, 0);
}

// Outlines as drawn, not snapped to the pixel grid: the same on every machine.
void SelectFont(cairo_t* cr, cairo_font_face_t* face, double size) {
    cairo_set_font_face(cr, face);
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

// Fills text with its inked box centred on (x, y).
void FillCentredText(cairo_t* cr, const std::string& text, double x, double y) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    cairo_move_to(cr, x - extents.x_bearing - extents.width / 2,
                  y - extents.y_bearing - extents.height / 2);
    cairo_text_path(cr, text.c_str());
    cairo_fill(cr);
}

// --- the dial ------------------------------------------------------------------------------

// Minutes clockwise from 12 to a point at radius r from (cx, cy); y grows downwards.
void GetDialPoint(double cx, double cy, double minutes, double r, double& x, double& y) {
    const double angle = minutes / 60.0 * 2.0 * Pi;
    x = cx + r * std::sin(angle);
    y = cy - r * std::cos(angle);
}

void StrokeCircle(cairo_t* cr, double cx, double cy, double r, double width) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * Pi);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void StrokeRadial(cairo_t* cr, double cx, double cy, double minutes, double from, double to,
                  double width) {
    double x0, y0, x1, y1;
    GetDialPoint(cx, cy, minutes, from, x0, y0);
    GetDialPoint(cx, cy, minutes, to, x1, y1);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

// The railway track: a line for every minute between two circles, and at every fifth minute
// a triangle whose tip points at the centre.
void DrawMinuteTrack(cairo_t* cr) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    StrokeCircle(cr, Centre, Centre, TrackInner, 0.8);
    StrokeCircle(cr, Centre, Centre, TrackOuter, 0.8);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (int minute = 0; minute < 60; ++minute) {
        if (minute % 5 != 0) {
            StrokeRadial(cr, Centre, Centre, minute, TrackInner, TrackOuter, 0.6);
            continue;
        }
        const double halfBase = 0.3; // minutes either side of the mark, at the outer circle
        double x, y;
        GetDialPoint(Centre, Centre, minute - halfBase, TrackOuter, x, y);
        cairo_move_to(cr, x, y);
        GetDialPoint(Centre, Centre, minute + halfBase, TrackOuter, x, y);
        cairo_line_to(cr, x, y);
        GetDialPoint(Centre, Centre, minute, TrackInner, x, y);
        cairo_line_to(cr, x, y);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
}

void DrawRedMinuteNumbers(cairo_t* cr, const Fonts& fonts) {
    cairo_set_source_rgb(cr, 0.78, 0.06, 0.06);
    SelectFont(cr, fonts.Faces[RedFont], RedNumberSize);
    for (int minute = 5; minute <= 60; minute += 5) {
        double x, y;
        GetDialPoint(Centre, Centre, minute, RedNumberRadius, x, y);
        FillCentredText(cr, std::to_string(minute), x, y);
    }
}

// The six gives way to the small-seconds dial, as on watches with small seconds at six.
void DrawHourNumerals(cairo_t* cr, const Fonts& fonts) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    SelectFont(cr, fonts.Faces[NumeralFont], HourNumeralSize);
    for (int hour = 1; hour <= 12; ++hour) {
        if (hour == 6)
            continue;
        double x, y;
        GetDialPoint(Centre, Centre, hour * 5, HourNumeralRadius, x, y);
        FillCentredText(cr, std::to_string(hour), x, y);
    }
}

void DrawCentreRing(cairo_t* cr) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    StrokeCircle(cr, Centre, Centre, CentreRingRadius, 0.9);
}

void DrawSubDial(cairo_t* cr, const Fonts& fonts) {
    const double cx = Centre, cy = Centre + SubDialDrop;
    cairo_set_source_rgb(cr, 0, 0, 0);
    StrokeCircle(cr, cx, cy, SubDialRadius, 0.9);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (int second = 0; second < 60; ++second) {
        const bool fifth = second % 5 == 0;
        StrokeRadial(cr, cx, cy, second, SubDialRadius - (fifth ? 4.5 : 2.5), SubDialRadius,
                     fifth ? 0.9 : 0.5);
    }
    StrokeCircle(cr, cx, cy, 1.8, 0.7);
    SelectFont(cr, fonts.Faces[SmallFont], SubNumberSize);
    for (int second = 10; second <= 60; second += 10) {
        double x, y;
        GetDialPoint(cx, cy, second, SubNumberRadius, x, y);
        FillCentredText(cr, std::to_string(second), x, y);
    }
}

// Whatever antialiasing spilt past the inscribed circle goes back to white, so the corners
// stay the dial's pure white however the disk samples them.
void ClearOutsideDial(cairo_t* cr) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(cr, 0, 0, DialSide, DialSide);
    cairo_arc(cr, Centre, Centre, Centre, 0, 2 * Pi);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

cairo_surface_t* DrawDial(const Fonts& fonts) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, DialSide, DialSide);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    DrawMinuteTrack(cr);
    DrawRedMinuteNumbers(cr, fonts);
    DrawHourNumerals(cr, fonts);
    DrawCentreRing(cr);
    DrawSubDial(cr, fonts);
    ClearOutsideDial(cr);
    cairo_destroy(cr);
    return surface;
}

// --- the reflection ------------------------------------------------------------------------

// 0 at or below edge0, 1 at or above edge1, smooth in between.
double SmoothStep(double edge0, double edge1, double value) {
    const double t = std::clamp((value - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// 1 inside a rounded rectangle, falling to 0 over soft pixels past its edge.
double GetSoftBox(double x, double y, double left, double top, double right, double bottom,
                  double soft) {
    const double dx = std::max({left - x, 0.0, x - right});
    const double dy = std::max({top - y, 0.0, y - bottom});
    return 1.0 - SmoothStep(0.0, soft, std::sqrt(dx * dx + dy * dy));
}

// A window of four panes in a wall behind the viewer, given in that wall's plane (x to the
// right, y up, the eye's axis at 0): its glazing bars let a little less through.
double GetWindowLight(double x, double y) {
    const double pane = GetSoftBox(x, y, -1.6, -1.4, -0.4, -0.2, 0.2);
    const double bars = std::max(GetSoftBox(x, y, -1.02, -1.5, -0.98, -0.1, 0.05),
                                 GetSoftBox(x, y, -1.7, -0.82, -0.3, -0.78, 0.05));
    return pane * (1.0 - 0.4 * bars);
}

// Brightness above the grey field, 0 to 1, for the reflected direction (rx, ry, rz): the eye
// looks along -z and y is up. Lights behind the viewer (rz > 0) are rectangles in a wall
// plane there, so they curve on the sphere as real windows do: a lamp straight behind the
// eye makes the white centre, the big window is upper left where the scene's light comes
// from, a dimmer one lower right, and a strip light runs high across the wall; the room
// ahead of the watch is a little lighter than its grey, which brightens the rim.
double GetEnvironmentLight(double rx, double ry, double rz) {
    double light = 0.18 * SmoothStep(-0.2, -0.9, rz);
    // Directions ahead of the watch (rz < 0) show on its sides: a big soft light up and to
    // the left of it, where the scene's lamp is.
    const double towardsLamp = -0.55 * rx + 0.55 * ry - 0.63 * rz; // a unit vector
    light = std::max(light, 0.65 * SmoothStep(0.8, 0.95, towardsLamp));
    if (rz > 0.05) {
        // Wall coordinates with y growing downwards, as the picture's rows do.
        const double x = rx / rz, y = -ry / rz;
        const double lamp = 1.0 - SmoothStep(0.04, 0.42, std::sqrt(x * x + y * y));
        light = std::max(light, lamp);
        light = std::max(light, 0.82 * GetWindowLight(x, y));
        light = std::max(light, 0.42 * GetSoftBox(x, y, 0.55, 0.45, 0.95, 1.25, 0.2));
        light = std::max(light, 0.4 * GetSoftBox(x, y, -0.2, -2.1, 1.5, -1.8, 0.3));
    }
    return light;
}

// The sphere map's pixel (x, y) seen as the reflection off a mirror ball: the normal there,
// and the direction the eye's ray leaves in. Outside the ball the field stays plain grey.
double GetSphereMapLight(double x, double y, double side) {
    const double u = 2.0 * x / side - 1.0, v = 1.0 - 2.0 * y / side;
    const double rr = u * u + v * v;
    if (rr >= 1.0)
        return 0.0;
    const double nz = std::sqrt(1.0 - rr);
    return GetEnvironmentLight(2.0 * nz * u, 2.0 * nz * v, 2.0 * nz * nz - 1.0);
}

cairo_surface_t* DrawReflection() {
    const int side = ReflectionSide;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, side, side);
    cairo_surface_flush(surface);
    uint8_t* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const double field = 80.0; // the mid grey of the surroundings
    for (int y = 0; y < side; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < side; ++x) {
            const double light = GetSphereMapLight(x + 0.5, y + 0.5, side);
            const auto grey = static_cast<uint32_t>(field + (255.0 - field) * light + 0.5);
            row[x] = grey << 16 | grey << 8 | grey;
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

// --- main ----------------------------------------------------------------------------------

bool LoadFonts(Fonts& fonts) {
    if (FT_Init_FreeType(&fonts.Library) != 0)
        return false;
    const char* const files[FontCount] = {NumeralFontFile, SmallFontFile, RedFontFile};
    bool loaded = true;
    for (int kind = 0; kind < FontCount; ++kind) {
        fonts.Faces[kind] = LoadFontFace(fonts.Library, files[kind], fonts.FreeTypeFaces[kind]);
        loaded = loaded && fonts.Faces[kind] != nullptr;
    }
    return loaded;
}

// Cairo's faces go first: each still refers to its FreeType face.
void FreeFonts(Fonts& fonts) {
    for (cairo_font_face_t* face : fonts.Faces)
        cairo_font_face_destroy(face);
    cairo_debug_reset_static_data();
    for (FT_Face face : fonts.FreeTypeFaces)
        if (face != nullptr)
            FT_Done_Face(face);
    if (fonts.Library != nullptr)
        FT_Done_FreeType(fonts.Library);
}

bool WritePicture(cairo_surface_t* surface, uint32_t pixelsPerMetre, const std::string& path) {
    const bool written = WriteFile(path, EncodeBmp(surface, pixelsPerMetre));
    cairo_surface_destroy(surface);
    if (!written)
        std::fprintf(stderr, "make_pictures: cannot write %s\n", path.c_str());
    return written;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures RESOURCE_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    Fonts fonts = {};
    if (!LoadFonts(fonts)) {
        FreeFonts(fonts);
        return 1;
    }
    const bool dial = WritePicture(DrawDial(fonts), DialPixelsPerMetre, folder + "/watchFace.bmp");
    const bool reflection =
        WritePicture(DrawReflection(), ReflectionPixelsPerMetre, folder + "/Reflection.bmp");
    FreeFonts(fonts);
    return dial && reflection ? 0 : 1;
}
