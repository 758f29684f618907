// A button of the modifier bar: a grid item that stands for one level. The
// level usually lives in the level list and is shared; the default levels
// of a new bar belong to their buttons alone until the bar is saved and read
// again, so such a button owns its level.
#pragma once

#include <memory>

#include "levels/level.h"
#include "levels/level_index.h"
#include "toolwnd/grid_item.h"

namespace zan {

class LevelButton : public GridItem {
public:
    // Without a level until readFrom resolves one.
    LevelButton() = default;
    // A button for a level of the level list.
    explicit LevelButton(Level& level);
    // A button that owns its level.
    explicit LevelButton(std::unique_ptr<Level> level);

    bool hasLevel() const { return level_ != nullptr; }
    Level& level() const { return *level_; }
    bool ownsLevel() const { return ownedLevel_ != nullptr; }

    // Reads one level line (image file, name, modifier, tag); the level of
    // that name is reused and takes the modifier and tag, or a new level is
    // appended to the level list. False when the line is cut by the end of
    // the file or by a quote that is never closed: the line is then not used.
    bool readFrom(std::FILE* file) override;
    // The same with the level list indexed by `index`, for reading many lines.
    bool readFrom(std::FILE* file, LevelIndex& index);
    // "image" "name" "modifier" "tag" and a line end.
    void writeTo(std::string& out) const override;

private:
    Level* level_ = nullptr;
    std::unique_ptr<Level> ownedLevel_;
};

}  // namespace zan
