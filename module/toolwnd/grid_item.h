// The base of the items a button-grid window shows, one per button: the
// image to draw, the label shown in the caption, and the item's own line of
// the bar's file.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace zan {

class GridButton;

class GridItem {
public:
    GridItem() = default;
    virtual ~GridItem() = default;
    GridItem(const GridItem&) = delete;
    GridItem& operator=(const GridItem&) = delete;

    // Reads the item's fields from the bar's file; false when the file holds no whole item.
    virtual bool readFrom(std::FILE* file) = 0;
    // Appends the item's line of the bar's file.
    virtual void writeTo(std::string& out) const = 0;

    // Double quotes and backslashes become spaces, so that a label can always
    // be written between double quotes and read back the same.
    void setLabel(std::string_view text);
    const std::string& label() const { return label_; }

    int imageNumber = -1;   // -1: the image comes from imageFile; otherwise a bitmap resource
    std::string imageFile;  // relative to the window's bitmap directory
    GridButton* button = nullptr;

private:
    std::string label_;
};

}  // namespace zan
