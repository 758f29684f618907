#include "tk/common/builtin_bitmaps.h"

#include <cstring>

namespace tk::common {
namespace {

// The picture characters and their colours (all of the 16 standard colours).
tk::Color colourOf(char c) {
    switch (c) {
        case '#': return tk::rgb(0, 0, 0);
        case 'w': return tk::rgb(255, 255, 255);
        case 'g': return tk::rgb(128, 128, 128);
        case 'b': return tk::rgb(0, 0, 128);
        case 'r': return tk::rgb(255, 0, 0);
        case 'y': return tk::rgb(255, 255, 0);
        case 'c': return tk::rgb(0, 255, 255);
        case 'G': return tk::rgb(0, 128, 0);
        default: return tk::rgb(192, 192, 192);  // '.', the button face
    }
}

void paint(tk::Bitmap& bitmap, int left, const char* const* rows, int width, int height) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width && rows[y][x] != '\0'; ++x) bitmap.set(left + x, y, colourOf(rows[y][x]));
}

// A question mark on a framed white face.
const char* const kPlaceholder[20] = {
    "....................", ".gggggggggggggggggg.", ".gwwwwwwwwwwwwwwwwg.", ".gwwwwwwbbbbwwwwwwg.",
    ".gwwwwwbbwwbbwwwwwg.", ".gwwwwbbwwwwbbwwwwg.", ".gwwwwwwwwwwbbwwwwg.", ".gwwwwwwwwwbbwwwwwg.",
    ".gwwwwwwwwbbwwwwwwg.", ".gwwwwwwwbbwwwwwwwg.", ".gwwwwwwwbbwwwwwwwg.", ".gwwwwwwwbbwwwwwwwg.",
    ".gwwwwwwwwwwwwwwwwg.", ".gwwwwwwwbbwwwwwwwg.", ".gwwwwwwwbbwwwwwwwg.", ".gwwwwwwwwwwwwwwwwg.",
    ".gwwwwwwwwwwwwwwwwg.", ".gwwwwwwwwwwwwwwwwg.", ".gggggggggggggggggg.", "....................",
};

// Automatic layering: three stacked layers.
const char* const kLayers[14] = {
    "...............", "...##########..", "...#yyyyyyyy#..", "...##########..", "...............",
    "..##########...", "..#cccccccc#...", "..##########...", "...............", ".##########....",
    ".#GGGGGGGG#....", ".##########....", "...............", "...............",
};

// Explode: a burst.
const char* const kExplode[14] = {
    "...............", ".......#.......", "..#....#....#..", "...#...#...#...", "....#..r..#....",
    ".....#rrr#.....", "..####rrr####..", ".....#rrr#.....", "....#..r..#....", "...#...#...#...",
    "..#....#....#..", ".......#.......", "...............", "...............",
};

// Automatic scaling: a small square inside a large one, and an arrow.
const char* const kScale[14] = {
    "...............", ".########......", ".#......#......", ".#.###..#......", ".#.#.#..#......",
    ".#.###..#......", ".#......#......", ".########.b....", "...........b...", "........b...b..",
    ".........b..b..", "..........bbbb.", "...............", "...............",
};

// Automatic rotation: a circle with an arrow head.
const char* const kRotate[14] = {
    "...............", ".....#####.....", "...##.....##...", "..#.........#..", "..#.........#..",
    ".#...........#.", ".#.....b.....#.", ".#...........#.", "..#.........#..", "..#.......#.#.#",
    "...##.....###..", ".....#####.#...", "...............", "...............",
};

}  // namespace

tk::Bitmap builtinBitmap(int resourceId) {
    if (resourceId == kPlaceholderBitmap) {
        tk::Bitmap bitmap(20, 20);
        paint(bitmap, 0, kPlaceholder, 20, 20);
        return bitmap;
    }
    if (resourceId == kOptionStripBitmap) {
        tk::Bitmap bitmap(60, 14);
        paint(bitmap, 0, kLayers, 15, 14);
        paint(bitmap, 15, kExplode, 15, 14);
        paint(bitmap, 30, kScale, 15, 14);
        paint(bitmap, 45, kRotate, 15, 14);
        return bitmap;
    }
    return {};
}

}  // namespace tk::common
