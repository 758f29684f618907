// The substitute CAD host: one open drawing, the command line, the host
// commands, the loaded applications and the ADS services they call.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ads/adslib.h"
#include "core/command_line.h"
#include "core/command_processor.h"
#include "core/applications.h"
#include "core/selection_sets.h"
#include "db/database.h"

namespace host {

class Host {
public:
    using Output = std::function<void(std::string_view)>;

    explicit Host(Output output);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The host the ADS functions serve (one per process at a time).
    static Host* current();

    // --- the drawing ---
    Database& db() { return *db_; }
    // Closes the open drawing (applications get the unload message) and
    // opens `drawing` (they get the load message).
    void openDrawing(std::unique_ptr<Database> drawing, std::string path);
    void closeDrawing();
    const std::string& drawingPath() const { return drawingPath_; }
    void setDrawingPath(std::string path);
    // The drawing's name as the user knows it: its path, or "Drawing1.dwg".
    std::string drawingName() const;
    // Whether the drawing changed since it was opened or last saved.
    bool modified() const { return db_->revision() != savedRevision_; }
    void markSaved() { savedRevision_ = db_->revision(); }
    // Writes the drawing to `path` and marks it saved; false with the
    // reason in `message`.
    bool saveTo(const std::string& path, std::string& message);

    // Where SAVE and QSAVE write when the session names an output file
    // (empty: the drawing's own file). SAVEAS gives the drawing a new name
    // and ends this.
    const std::string& saveTarget() const { return saveTarget_; }
    void setSaveTarget(std::string path) { saveTarget_ = std::move(path); }
    // Whether QUIT asks before it ends a session with unsaved changes (the
    // user is at a terminal and no output file takes the changes).
    bool asksToSave() const { return asksToSave_; }
    void setAsksToSave(bool ask) { asksToSave_ = ask; }

    // --- applications ---
    Applications& applications() { return *apps_; }

    // --- the command line ---
    CommandLine& commandLine() { return commandLine_; }
    void print(std::string_view text) { commandLine_.print(text); }
    void printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Runs commands until QUIT or until the input ends.
    void run();
    // Reads and runs one command at the "Command: " prompt; false when input has ended or QUIT ran.
    bool runOneCommand();
    bool quitRequested() const { return quit_; }
    void requestQuit() { quit_ = true; }

    // Runs what arrives when the host is idle: posted window messages and
    // command text sent by applications.
    void idle();
    void setIdleHook(std::function<void()> hook) { idleHook_ = std::move(hook); }

    // Tracing of the commands applications send.
    void setTrace(bool on) { trace_ = on; }
    bool tracing() const { return trace_; }
    void trace(std::string_view line);

    // --- host commands ---
    CommandProcessor& commands() { return *commands_; }
    SelectionSets& selections() { return selections_; }

    // --- services for the ADS layer ---
    HWND mainWindow() const { return mainWindow_; }
    void setMainWindow(HWND window) { mainWindow_ = window; }
    // Text screen shown (ads_textscr); shown in the transcript.
    void setTextScreen(bool text);

    // The space new entities go to: paper space when layouts are active and no
    // floating viewport is current.
    bool paperSpaceCurrent();

    // Brings EXTMIN/EXTMAX up to the drawing's entities when they changed
    // (after every command, and after the ADS calls that change entities).
    void refreshExtents();

    // The main entity most recently added to the drawing (ads_entlast), not
    // a sub-entity of a polyline or a reference.
    RecordId lastEntity() const;

    // Keyword list of the next input request (ads_initget).
    struct InputControl {
        int flags = 0;
        std::vector<std::string> keywords;
    };
    InputControl takeInputControl();
    void setInputControl(InputControl control) { inputControl_ = std::move(control); }
    std::string& lastKeyword() { return lastKeyword_; }

    // A block definition being made by ads_entmake ("BLOCK" ... "ENDBLK").
    struct PendingBlock {
        Record begin;
        std::vector<Record> entities;
    };
    std::optional<PendingBlock>& pendingBlock() { return pendingBlock_; }

private:
    Output output_;
    CommandLine commandLine_;
    std::unique_ptr<Database> db_;
    std::string drawingPath_;
    std::string saveTarget_;
    std::uint64_t savedRevision_ = 0;
    bool asksToSave_ = false;
    std::unique_ptr<Applications> apps_;
    std::unique_ptr<CommandProcessor> commands_;
    SelectionSets selections_;
    HWND mainWindow_ = nullptr;
    std::function<void()> idleHook_;
    bool quit_ = false;
    bool trace_ = false;
    bool textScreen_ = false;
    InputControl inputControl_;
    std::string lastKeyword_;
    std::optional<PendingBlock> pendingBlock_;
    // Where the extents were last right: the drawing's shapeRevision(), its
    // record count and the length of its entity list then.
    void noteExtentsCurrent();
    std::uint64_t extentsRevision_ = 0;
    RecordId extentsRecords_ = 0;
    std::size_t extentsEntities_ = 0;
};

}  // namespace host
