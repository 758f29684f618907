// The desktop application (zan --gui): a session on the desktop backend
// shown in the main window, its command line fed by the user's typing and
// clicks (and by a script, which drives it as it drives a terminal run).
// This header names no Qt type, so that code that sees the host's
// programming interface can include it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "plot.h"
#include "session/session.h"

namespace zan::gui {

class MainWindow;

class Desktop {
public:
    // Shows the main window on the session's drawing. The session runs on
    // the desktop backend (it made the Qt application).
    explicit Desktop(app::Session& session);
    ~Desktop();

    // Text the session printed (for the text screen and the prompt).
    void show(std::string_view text);

    // Runs the command line until the input ends (the script ends, QUIT, or
    // the window closes), with the Qt event loop running whenever the host
    // waits. `script`: lines read after the user's, and the answers to the
    // user interface; null: the user types and answers in Qt windows.
    // Returns the session's status (see Session::run).
    int run(app::Script* script);

    // Writes a PNG picture of the main window with the tool windows over it
    // to `path` (through the safe save); false with a message.
    bool screenshot(const std::string& path, std::string& message);
    // Takes that picture when the input ends (the script's last line done,
    // or the window closed), before the host finishes; the message of a
    // failure is printed and kept here.
    void screenshotAtEnd(std::string path);
    const std::string& screenshotFailure() const;

    MainWindow& window();

    // Acts on a script's "@view" line ("@view click X,Y [right]", "@view
    // layout NAME", "@view extents", "@view zoom X,Y FACTOR"); false for
    // another line.
    bool performViewLine(const std::string& line);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// What `zan --gui` does with its options; returns the exit status.
struct DesktopRun {
    app::SessionOptions options;
    std::string script;    // empty: none ("-": standard input)
    std::string drawing;   // empty with newDrawing false: the demo drawing
    std::string demoDrawing;
    bool newDrawing = false;
    std::string saveAs;
    render::PlotRequest plot;
    std::string screenshot;  // written when the run ends
};
int runDesktop(DesktopRun run);

}  // namespace zan::gui
