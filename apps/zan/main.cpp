// zan: the substitute CAD host with the ZAN module loaded, on a drawing.
//
//   zan [options] [drawing.dxf]
//
// With no drawing named, the built-in demo drawing is opened. Commands are
// read from the terminal, or from a script file (--script). See README.md.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "batch.h"
#include "options.h"
#include "session/session.h"
#ifdef ZAN_HAVE_GUI
#include "gui/desktop_app.h"
#endif

int main(int argc, char** argv) {
    using zan::app::ProgramOptions;
    ProgramOptions program;
    std::string error;
    if (!zan::app::parseProgramOptions(std::vector<std::string>(argv + 1, argv + argc), ZAN_MODULE_PATH, program,
                                       error)) {
        std::cerr << "zan: " << error << "\n";
        if (error.rfind("unknown option", 0) == 0) std::cerr << zan::app::usageText();
        return zan::app::kUsageError;
    }
    const zan::app::SessionOptions& options = program.session;
    const std::string& scriptPath = program.scriptPath;
    const std::string& saveAs = options.saveAs;
    const std::string& drawing = program.drawing;
    const zan::render::PlotRequest& plot = program.plot;
    switch (program.mode) {
    case ProgramOptions::Mode::Help: std::cout << zan::app::usageText(); return 0;
    case ProgramOptions::Mode::Preview:
        return zan::app::runPreview(program.layerRun, options, ZAN_DEMO_DRAWING, plot);
    case ProgramOptions::Mode::Apply: return zan::app::runBatch(program.layerRun, options);
    case ProgramOptions::Mode::Desktop:
#ifdef ZAN_HAVE_GUI
        return zan::gui::runDesktop(
            {options, scriptPath, drawing, ZAN_DEMO_DRAWING, program.newDrawing, saveAs, plot, program.screenshot});
#else
        std::cerr << "zan: this build has no desktop window (configure with -DZAN_BUILD_DESKTOP=ON)\n";
        return zan::app::kUsageError;
#endif
    case ProgramOptions::Mode::Session: break;
    }

    auto output = [](std::string_view text) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    };
    zan::app::Session session(options, output);

    std::ifstream file;
    std::istream* in = &std::cin;
    bool interactive = scriptPath.empty() && isatty(STDIN_FILENO);
    if (!scriptPath.empty() && scriptPath != "-") {
        std::error_code ec;
        if (std::filesystem::is_directory(scriptPath, ec)) {
            std::cerr << "zan: cannot read the script " << scriptPath << ": it is a directory\n";
            return 66;
        }
        file.open(scriptPath);
        if (!file) {
            std::cerr << "zan: cannot read the script " << scriptPath << ": " << std::strerror(errno) << "\n";
            return 66;
        }
        in = &file;
    }
    zan::app::Script script(*in, interactive, &std::cout);
    session.attach(script);

    if (program.newDrawing) {
        session.newDrawing();
    } else {
        std::string path = drawing.empty() ? std::string(ZAN_DEMO_DRAWING) : drawing;
        if (!session.openDrawing(path)) return 1;
    }
    if (!session.loadModule()) return 1;
    output("Drawing: " + session.host().drawingName() + "; module: " +
           (options.modulePath.empty() ? std::string("none") : options.modulePath) + "\n");
    int status = session.run();
    if (!saveAs.empty()) {
        if (!session.saveDrawing(saveAs) && status == 0) status = 1;
    } else if (!interactive && session.modified()) {
        std::cerr << "zan: the changes to " << session.host().drawingName()
                  << " were not saved (end the script with SAVE, or name a file with --save-as)\n";
    }
    if (!plot.path.empty() && !session.plotDrawing(plot) && status == 0) status = 1;
    return status;
}
