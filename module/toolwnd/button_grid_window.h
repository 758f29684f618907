// A floating tool window showing a grid of image buttons, one per item: the
// window shared by the modifier bar and the symbol bar. It lays the buttons
// out in rows, reports clicks to the client's handler, offers the system-menu
// commands Save, Save As, Set Rows, Set BMP Dir and Set BMP Size, rolls up to
// its caption on minimize, and can carry a strip of toggle buttons on top.
//
// The object lives on the heap and deletes itself when its window is
// destroyed (by the platform, a close or the module's unloading).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tk/platform.h"
#include "tk/window.h"
#include "toolwnd/grid_button.h"
#include "toolwnd/grid_item.h"

namespace zan {

class ButtonGridWindow;
class OptionStrip;

// Events of the click handler.
enum GridClick : int { kGridLeftClick = 0, kGridRightClick = 1, kGridMiddleClick = 2 };
// Called for every click on a button; `keys` is the key-state word of the
// release (Shift 4, Control 8).
using GridClickHandler = void (*)(GridItem& item, int event, unsigned keys, ButtonGridWindow& window);

using GridItems = std::vector<std::unique_ptr<GridItem>>;

class ButtonGridWindow : public tk::Window {
public:
    // System-menu commands appended at creation.
    static constexpr unsigned kMenuSave = 301;
    static constexpr unsigned kMenuSaveAs = 302;
    static constexpr unsigned kMenuSetRows = 303;
    static constexpr unsigned kMenuSetBitmapDirectory = 304;
    static constexpr unsigned kMenuSetBitmapSize = 306;
    static constexpr int kFirstButtonId = 350;
    static constexpr int kFirstStripCommand = 320;

    ButtonGridWindow();
    ~ButtonGridWindow() override;

    // Makes the window (a popup owned by the host's main window at
    // `position`, 100 x 50) with its system menu; false when the platform refuses.
    bool create(std::string_view typeWord, std::string_view caption, tk::Point position, GridClickHandler handler);
    // The toggle strip along the top edge, all buttons off.
    bool createOptionStrip(int imageWidth, int imageHeight, int count, int bitmapResource);
    // 0 without a strip or for an index out of range.
    int stripButtonState(int index) const;
    int stripCount() const { return stripCount_; }

    // Directories get a trailing separator when set to a text without one.
    void setDataFileName(std::string_view name) { dataFileName_ = name; }
    void setDataDirectory(std::string_view directory) { dataDirectory_ = withSeparator(directory); }
    void setBlockDirectory(std::string_view directory) { blockDirectory_ = withSeparator(directory); }
    void setBitmapDirectory(std::string_view directory) { bitmapDirectory_ = withSeparator(directory); }
    const std::string& dataFileName() const { return dataFileName_; }
    const std::string& dataDirectory() const { return dataDirectory_; }
    const std::string& blockDirectory() const { return blockDirectory_; }
    const std::string& bitmapDirectory() const { return bitmapDirectory_; }
    const std::string& typeWord() const { return typeWord_; }
    void setTitle(std::string_view title) { title_ = title; }
    const std::string& title() const { return title_; }

    // Rows are kept within 1 ... 1000 (a file may hold any number).
    void setRows(int rows);
    int rows() const { return rows_; }
    int columns() const { return columns_; }
    // Cells are the image size plus 6 in each direction.
    void setImageSize(int width, int height);
    tk::Size imageSize() const { return {cellWidth_ - 6, cellHeight_ - 6}; }
    int cellWidth() const { return cellWidth_; }
    int cellHeight() const { return cellHeight_; }

    // Adds one button per item at the end, or before position `index`; false
    // (with a message, nothing added) while the bitmap directory is empty.
    bool appendItems(GridItems items);
    bool insertItems(GridItems items, int index);
    // Destroys the button at `index` with its item and image.
    void removeItem(int index);
    int indexOfButton(const GridButton* button) const;
    int itemCount() const { return static_cast<int>(buttons_.size()); }
    GridButton& buttonAt(int index) const { return *buttons_[static_cast<std::size_t>(index)]; }
    GridButton* lastClicked() const { return lastClicked_; }

    void releaseAll();
    void pressLastClicked(int state);
    // Places the buttons and sizes the window to fit them.
    void layout();

    bool changed() const { return changed_; }
    void setChanged(bool on) { changed_ = on; }
    bool rolledUp() const { return rolledUp_; }

    // ---- What a client may replace ---------------------------------------
    // The right mouse button was released over strip button `index`.
    virtual void stripButtonContext(int /*index*/) {}
    // Writes the bar's file; the default is the common writer.
    virtual bool save();
    // A caption to show while rolled up, or false to keep the caption.
    virtual bool rolledUpCaption(std::string& /*text*/) { return false; }
    // The Save As dialog's title, filter and extension.
    virtual tk::FileDialogRequest saveAsRequest() const;

    // ---- From the buttons ------------------------------------------------
    void buttonReleased(GridButton& button, tk::MouseButton which, unsigned keys);
    void stripButtonReleased(int index, tk::MouseButton which);

    // The common writer's text: header lines and one line per item.
    std::string fileText() const;

    bool onSystemCommand(unsigned command) override;
    void onMouseMove(tk::Point, unsigned keys) override;

protected:
    // The window is gone: the object deletes itself.
    void onDestroyed() override;
    // Writes `text` as the bar's data file through the platform's safe save;
    // false after telling the user why it could not be written.
    bool writeDataFile(std::string_view text);

private:
    static std::string withSeparator(std::string_view directory);
    bool addItems(GridItems items, std::size_t at);
    void saveAs();
    void askRows();
    void askBitmapDirectory();
    void askBitmapSize();
    void rollUp();
    void rollDown();

    bool changed_ = false;
    int rows_ = 1;
    int columns_ = 0;
    int cellWidth_ = 26;
    int cellHeight_ = 26;
    int nextButtonNumber_ = 0;
    std::string title_ = "Toolbox";
    std::string dataFileName_;
    std::string dataDirectory_;
    std::string blockDirectory_;
    std::string bitmapDirectory_;
    std::string typeWord_;
    std::vector<std::unique_ptr<GridButton>> buttons_;
    GridButton* lastClicked_ = nullptr;
    GridClickHandler clickHandler_ = nullptr;
    std::unique_ptr<OptionStrip> strip_;
    int stripCount_ = 0;
    int stripButtonWidth_ = 0;
    int stripHeight_ = 0;
    tk::Rect savedRect_;
    bool rolledUp_ = false;
};

}  // namespace zan
