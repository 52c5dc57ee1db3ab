// Draws the program's two skin pictures and writes them into the folder given as the only
// argument: "lvBack.bmp" (the empty task list's background) and "tarnwickcover.jpg" (the
// splash window). Run by the build, so no binary picture is kept in the sources.

#include "app/core/picture_files.h"
#include "platform/atomic_file.h"
#include "platform/bitmap24.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

using tarnwick::platform::Bitmap24;

namespace {

struct Colour {
    int r, g, b;
};

Colour Mix(Colour a, Colour b, double t) {
    auto mix = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

void Plot(Bitmap24& picture, int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= picture.Width() || y >= picture.Height()) return;
    uint8_t* pixel = picture.ScanLine(y) + x * 3;
    pixel[0] = uint8_t(c.b);
    pixel[1] = uint8_t(c.g);
    pixel[2] = uint8_t(c.r);
}

void VerticalGradient(Bitmap24& picture, Colour top, Colour bottom) {
    for (int y = 0; y < picture.Height(); ++y) {
        const Colour c = Mix(top, bottom, double(y) / std::max(picture.Height() - 1, 1));
        for (int x = 0; x < picture.Width(); ++x) Plot(picture, x, y, c);
    }
}

void FillRect(Bitmap24& picture, int left, int top, int width, int height, Colour c) {
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) Plot(picture, x, y, c);
}

// A right-pointing triangle, the "play" sign, with a soft edge.
void PlayTriangle(Bitmap24& picture, int left, int top, int size, Colour c, Colour background) {
    for (int y = 0; y < size; ++y) {
        const double half = size / 2.0;
        const double reach = (half - std::abs(y + 0.5 - half)) * 2.0 * 0.87;
        for (int x = 0; x < size; ++x) {
            const double coverage = std::clamp(reach - x, 0.0, 1.0);
            if (coverage > 0) Plot(picture, left + x, top + y, Mix(background, c, coverage));
        }
    }
}

// A 5 x 7 block font for the few letters the pictures spell.
constexpr std::string_view GlyphLetters = "ACDEFIKLNORSTVW";
constexpr std::array<std::array<const char*, 7>, 15> Glyphs = {{
    {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}, // A
    {".####", "#....", "#....", "#....", "#....", "#....", ".####"}, // C
    {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}, // D
    {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}, // E
    {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}, // F
    {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}, // I
    {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}, // K
    {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}, // L
    {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}, // N
    {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}, // O
    {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}, // R
    {".####", "#....", "#....", ".###.", "....#", "....#", "####."}, // S
    {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}, // T
    {"#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."}, // V
    {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}, // W
}};

void DrawText(Bitmap24& picture, std::string_view text, int left, int top, int scale, Colour c) {
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t glyph = GlyphLetters.find(text[i]);
        if (glyph == std::string_view::npos) continue; // a blank
        for (int row = 0; row < 7; ++row)
            for (int column = 0; column < 5; ++column)
                if (Glyphs[glyph][row][column] == '#')
                    FillRect(picture, left + (int(i) * 6 + column) * scale, top + row * scale,
                             scale, scale, c);
    }
}

void DrawListBackground(Bitmap24& picture) {
    picture.SetSize(560, 240);
    const Colour top{250, 251, 254}, bottom{226, 232, 246};
    VerticalGradient(picture, top, bottom);
    // A film strip across the lower part, faint so that the list stays readable over it.
    const Colour strip{205, 213, 233}, hole{238, 241, 250};
    FillRect(picture, 0, 170, picture.Width(), 44, strip);
    for (int x = 6; x < picture.Width(); x += 22) {
        FillRect(picture, x, 174, 10, 6, hole);
        FillRect(picture, x, 204, 10, 6, hole);
    }
    for (int x = 20; x < picture.Width(); x += 88) FillRect(picture, x, 184, 70, 16, hole);
    PlayTriangle(picture, 36, 48, 64, {150, 168, 214}, Mix(top, bottom, 0.3));
    DrawText(picture, "ADD FILES TO CONVERT", 122, 70, 3, {120, 138, 190});
}

void DrawCover(Bitmap24& picture) {
    picture.SetSize(420, 260);
    const Colour top{24, 44, 92}, bottom{8, 14, 36};
    VerticalGradient(picture, top, bottom);
    // Soft rings behind the sign.
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const double d = std::hypot(x - 96.0, y - 110.0);
            const double ring = 0.5 + 0.5 * std::cos(d / 9.0);
            if (d < 90) {
                const Colour base = Mix(top, bottom, double(y) / picture.Height());
                Plot(picture, x, y, Mix(base, {60, 110, 200}, ring * (1 - d / 90) * 0.6));
            }
        }
    PlayTriangle(picture, 70, 80, 60, {250, 196, 64}, {40, 70, 140});
    DrawText(picture, "TARNWICK", 170, 92, 4, {240, 244, 252});
    DrawText(picture, "CONVERTER", 172, 136, 2, {250, 196, 64});
    FillRect(picture, 0, 228, picture.Width(), 2, {250, 196, 64});
}

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    return tarnwick::platform::ReplaceFileContents(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    Bitmap24 listBackground, cover;
    DrawListBackground(listBackground);
    DrawCover(cover);
    if (!Write(folder + "lvBack.bmp", tarnwick::app::EncodeBmp(listBackground)) ||
        !Write(folder + "tarnwickcover.jpg", tarnwick::app::EncodeJpeg(cover, 90))) {
        std::fprintf(stderr, "%s: cannot write the skin pictures into %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
