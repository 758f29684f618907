// One session of the substitute host: a toolkit backend, the host with its
// main window, the loaded module and a drawing, driven by a script.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/host.h"
#include "plot.h"
#include "session/script.h"
#include "tk/common/backend.h"

namespace zan::app {

struct SessionOptions {
    std::string modulePath;       // the add-on module to load; empty: none
    bool trace = false;           // show the host commands the module sends
    std::string profileDirectory;  // where the per-application profile lives; empty: the user's
    std::string backend;           // the toolkit backend (see backend_factory.h); empty: the default
    // The file the drawing is saved to when the session ends (the caller
    // saves it); SAVE and QSAVE write it too. Empty: none.
    std::string saveAs;
};

class Session {
public:
    // Everything shown goes to `output`. Throws std::invalid_argument for a
    // backend this build does not have.
    Session(SessionOptions options, std::function<void(std::string_view)> output);
    ~Session();

    host::Host& host() { return *host_; }
    tk::common::Backend& platform() { return *platform_; }

    // Loads the module; false with a message on the transcript.
    bool loadModule();
    // Opens a drawing file; false with a message (the open drawing stays).
    bool openDrawing(const std::string& path);
    // Starts with a new, empty drawing.
    void newDrawing();
    // Saves the drawing ("Saved <path>." on the transcript); false with a message.
    bool saveDrawing(const std::string& path);
    // Plots the drawing as it is now (see plot.h); false with a message.
    bool plotDrawing(const render::PlotRequest& request);
    // Whether the drawing has changes that no save has written.
    bool modified() const { return host_->modified(); }

    // Makes the script the source of typed input and of the answers to the
    // user interface (also for what the module asks while it loads).
    void attach(Script& script);
    // Runs the command line on the attached script until it ends or QUIT.
    // Returns 0, or 2 when the script lacked an answer a modal element
    // needed (the reason is in error()), or 1 when changes could not be kept
    // (see below).
    //
    // At a terminal, with changes not saved and no output file named, QUIT
    // and the end of input (Ctrl-D) ask whether to save them; Cancel goes
    // back to the command line. When the input ends again before the
    // question is answered, or at a modal element, the changes go to a
    // recovery file beside the drawing (recoveryPath) and the drawing's own
    // file is left as it is.
    int run();
    // attach(script), then run().
    int run(Script& script);
    const std::string& error() const { return error_; }
    // Sees each "@" line before the backend does; a line it returns true
    // for is taken as done (the desktop application's view lines).
    void setUiLineHook(std::function<bool(const std::string&)> hook) { uiLineHook_ = std::move(hook); }

    // A file name for the changes of a session whose input ended before the
    // user decided: "<drawing>.recovered.dxf" beside the drawing (in the
    // current directory for a new drawing), numbered when that name exists.
    std::string recoveryPath() const;

private:
    bool endOfInputLosesChanges() const;
    // Saves to recoveryPath(), saying `why`; 0, or 1 when that failed.
    int saveRecoveryCopy(const std::string& why);
    Script* script_ = nullptr;
    class MainWindowSink;
    SessionOptions options_;
    std::function<void(std::string_view)> output_;
    std::unique_ptr<tk::common::Backend> platform_;
    std::unique_ptr<host::Host> host_;
    std::unique_ptr<MainWindowSink> mainWindowSink_;
    HWND mainWindow_ = nullptr;
    std::string error_;
    std::function<bool(const std::string&)> uiLineHook_;
};

}  // namespace zan::app
