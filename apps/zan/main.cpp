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
#include "session/session.h"
#ifdef ZAN_HAVE_GUI
#include "gui/desktop_app.h"
#endif

namespace {

void usage() {
    std::cout << "usage: zan [options] [drawing.dxf]\n"
                 "  -s, --script FILE     read commands and answers from FILE (\"-\": standard input)\n"
                 "  -t, --trace           show every host command the module sends\n"
                 "  -o, --save-as FILE    save the drawing to FILE when the session ends\n"
                 "  -n, --new             start with a new, empty drawing\n"
                 "      --profile-dir DIR keep the per-application profile in DIR\n"
                 "      --module FILE     load this module instead of the built-in one\n"
                 "      --no-module       load no module\n"
                 "      --plot FILE       plot the drawing to FILE (.png, .pdf, .svg) when the session ends\n"
                 "      --layout NAME     plot this layout (Model or a layout's name; default: the current one)\n"
                 "      --size WxH        plot size in pixels (points for a PDF; default 1600x1200)\n"
                 "      --gui             run in the desktop window (builds with -DZAN_BUILD_DESKTOP=ON)\n"
                 "      --screenshot FILE with --gui: a PNG picture of the window when the session ends\n"
                 "      --preview NAME    print what restoring the layer configuration NAME would do, and exit\n"
                 "                        (with --plot F.png: F-before.png and F-after.png)\n"
                 "      --apply NAME      restore the layer configuration NAME in every drawing named and save each\n"
                 "      --configurations FILE  the .Zly file of --preview and --apply\n"
                 "      --viewports all   restore to the paper space viewports instead of model space\n"
                 "      --save-in DIR     with --apply: save the results in DIR (never over a drawing)\n"
                 "      --overwrite       with --apply: a result may replace its drawing\n"
                 "  -h, --help            show this help\n";
}

}  // namespace

int main(int argc, char** argv) {
    zan::app::SessionOptions options;
    options.modulePath = ZAN_MODULE_PATH;
    std::string scriptPath, saveAs, drawing;
    bool newDrawing = false, noModule = false, moduleNamed = false;
    zan::render::PlotRequest plot;
    bool gui = false;
    std::string screenshot;
    zan::app::LayerConfigurationRun layerRun;
    bool preview = false, apply = false;
    std::vector<std::string> moreDrawings;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](const char* what) -> std::string {
            if (i + 1 >= argc) {
                std::cerr << "zan: " << arg << " needs " << what << "\n";
                std::exit(64);
            }
            return argv[++i];
        };
        if (arg == "-s" || arg == "--script") scriptPath = value("a file");
        else if (arg == "-t" || arg == "--trace") options.trace = true;
        else if (arg == "-o" || arg == "--save-as") saveAs = value("a file");
        else if (arg == "-n" || arg == "--new") newDrawing = true;
        else if (arg == "--profile-dir") options.profileDirectory = value("a directory");
        else if (arg == "--module") {
            options.modulePath = value("a file");
            moduleNamed = true;
        } else if (arg == "--no-module") noModule = true;
        else if (arg == "--plot") {
            plot.path = value("a file");
            if (!zan::render::plotFormatOf(plot.path)) {
                std::cerr << "zan: --plot writes a .png, .pdf or .svg file\n";
                return 64;
            }
        }
        else if (arg == "--layout") plot.layout = value("a layout name");
        else if (arg == "--size") {
            if (!zan::render::parsePlotSize(value("a size"), plot.width, plot.height)) {
                std::cerr << "zan: --size takes WIDTHxHEIGHT, each from 1 to " << zan::render::kMaxPlotSide << "\n";
                return 64;
            }
        }
        else if (arg == "--gui") gui = true;
        else if (arg == "--screenshot") screenshot = value("a file");
        else if (arg == "--preview" || arg == "--apply") {
            (arg == "--preview" ? preview : apply) = true;
            layerRun.configuration = value("a configuration name");
        } else if (arg == "--configurations") layerRun.file = value("a .Zly file");
        else if (arg == "--viewports") {
            if (value("\"all\"") != "all") {
                std::cerr << "zan: --viewports takes \"all\" (every paper space viewport)\n";
                return 64;
            }
            layerRun.viewports = true;
        } else if (arg == "--save-in") layerRun.saveIn = value("a directory");
        else if (arg == "--overwrite") layerRun.overwrite = true;
        else if (arg == "-h" || arg == "--help") {
            usage();
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            std::cerr << "zan: unknown option " << arg << "\n";
            usage();
            return 64;
        } else if (drawing.empty()) drawing = arg;
        else if (apply) moreDrawings.push_back(arg);
        else {
            std::cerr << "zan: only one drawing can be opened\n";
            return 64;
        }
    }
    if (noModule && moduleNamed) {
        std::cerr << "zan: --module and --no-module cannot be given together\n";
        return 64;
    }
    if (noModule) options.modulePath.clear();
    options.saveAs = saveAs;

    if (preview || apply) {
        if (preview && apply) {
            std::cerr << "zan: --preview and --apply cannot be given together\n";
            return 64;
        }
        if (layerRun.file.empty()) {
            std::cerr << "zan: --preview and --apply need --configurations FILE.Zly\n";
            return 64;
        }
        if (noModule) {
            std::cerr << "zan: --preview and --apply need the module\n";
            return 64;
        }
        if (!drawing.empty()) layerRun.drawings.push_back(drawing);
        layerRun.drawings.insert(layerRun.drawings.end(), moreDrawings.begin(), moreDrawings.end());
        if (apply && !plot.path.empty()) {
            std::cerr << "zan: --plot goes with --preview (the pictures before and after), not --apply\n";
            return 64;
        }
        return preview ? zan::app::runPreview(layerRun, options, ZAN_DEMO_DRAWING, plot)
                       : zan::app::runBatch(layerRun, options);
    }

    if (!screenshot.empty() && !gui) {
        std::cerr << "zan: --screenshot is for --gui runs\n";
        return 64;
    }
    if (gui) {
#ifdef ZAN_HAVE_GUI
        return zan::gui::runDesktop({options, scriptPath, drawing, ZAN_DEMO_DRAWING, newDrawing, saveAs, plot, screenshot});
#else
        std::cerr << "zan: this build has no desktop window (configure with -DZAN_BUILD_DESKTOP=ON)\n";
        return 64;
#endif
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

    if (newDrawing) {
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
