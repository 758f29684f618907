// The large drawings of the benchmarks and of the memory measurements, with
// the level file and the configuration file that go with them (see
// make_drawing.cpp for what they hold).
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "db/database.h"

namespace zan::bench {

struct DrawingOptions {
    double sizeMb = 83;       // entities until the file is about this big
    int levels = 2000;        // levels "Level NNNN" with modifier LNNNN
    int layersPerLevel = 25;  // LNNNN-WALL, LNNNN-DOOR, ... (WALL1, ... past 25)
    bool layersOnly = false;  // the layer table and nothing else of note
};

std::unique_ptr<host::Database> makeDrawing(const DrawingOptions& options);
// Makes the drawing and writes it; returns the file's size.
std::size_t writeDrawing(const DrawingOptions& options, const std::string& path);

std::string layerName(int level, int root);
std::string levelName(int level);
// A modifier bar file with every level.
void writeZmb(const std::string& path, int levels);
// A configuration file with one configuration "Big" of up to 1,000 level
// rules (odd levels thawed, even ones frozen, undefined layers frozen).
void writeZly(const std::string& path, int levels);

}  // namespace zan::bench
