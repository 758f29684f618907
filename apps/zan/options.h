// The zan program's command line: what a run is asked to do, read from the
// arguments with every usage error found before anything runs.
#pragma once

#include <string>
#include <vector>

#include "batch.h"
#include "plot.h"
#include "session/session.h"

namespace zan::app {

struct ProgramOptions {
    enum class Mode { Session, Desktop, Preview, Apply, Help };
    Mode mode = Mode::Session;
    SessionOptions session;      // modulePath is the built-in module unless --module or --no-module
    std::string scriptPath;      // empty: the terminal (or standard input when it is not one)
    std::string drawing;         // empty: the demo drawing (or a new one with --new)
    bool newDrawing = false;
    render::PlotRequest plot;
    std::string screenshot;
    LayerConfigurationRun layerRun;  // --preview and --apply (drawings included)
};

// Exit status of a usage error.
constexpr int kUsageError = 64;

// Reads the arguments after the program's name. False for a usage error,
// with a message for the user in `error` (without "zan: ").
bool parseProgramOptions(const std::vector<std::string>& arguments, const std::string& builtInModule,
                         ProgramOptions& options, std::string& error);

// The text of --help.
const char* usageText();

}  // namespace zan::app
