#include "options.h"

namespace zan::app {

namespace {

// Walks the arguments; `value` takes the one after an option.
class Arguments {
public:
    explicit Arguments(const std::vector<std::string>& list) : list_(list) {}
    bool more() const { return at_ < list_.size(); }
    const std::string& next() { return list_[at_++]; }
    bool value(const std::string& option, const char* what, std::string& out, std::string& error) {
        if (!more()) {
            error = option + " needs " + what;
            return false;
        }
        out = next();
        return true;
    }

private:
    const std::vector<std::string>& list_;
    std::size_t at_ = 0;
};

// What the options given together cannot mean; empty when they can.
std::string conflicts(const ProgramOptions& o, bool preview, bool apply, bool noModule, bool moduleNamed,
                      bool gui, bool moreDrawings) {
    if (noModule && moduleNamed) return "--module and --no-module cannot be given together";
    if (preview && apply) return "--preview and --apply cannot be given together";
    if (!o.screenshot.empty() && !gui) return "--screenshot is for --gui runs";
    const bool layers = preview || apply;
    if (layers) {
        if (o.layerRun.file.empty()) return "--preview and --apply need --configurations FILE.Zly";
        if (noModule) return "--preview and --apply need the module";
        if (apply && !o.plot.path.empty())
            return "--plot goes with --preview (the pictures before and after), not --apply";
        if (gui) return "--preview and --apply do not run in the desktop window";
        if (o.newDrawing) return "--preview and --apply work on drawings, not a new one";
        if (!o.scriptPath.empty()) return "--preview and --apply run no script";
        if (!o.session.saveAs.empty())
            return apply ? "--apply saves with --save-in or --overwrite, not --save-as" : "--preview saves nothing";
        if (preview && (moreDrawings || !o.layerRun.saveIn.empty() || o.layerRun.overwrite))
            return moreDrawings ? "--preview takes one drawing" : "--save-in and --overwrite go with --apply";
        return "";
    }
    if (!o.layerRun.file.empty() || o.layerRun.viewports.any() || !o.layerRun.saveIn.empty() || o.layerRun.overwrite)
        return "--configurations, --viewports, --save-in and --overwrite go with --preview or --apply";
    if (moreDrawings) return "only one drawing can be opened";
    if (o.newDrawing && !o.drawing.empty()) return "--new opens no drawing; leave out " + o.drawing + " or --new";
    return "";
}

}  // namespace

bool parseProgramOptions(const std::vector<std::string>& list, const std::string& builtInModule,
                         ProgramOptions& o, std::string& error) {
    o = {};
    o.session.modulePath = builtInModule;
    bool noModule = false, moduleNamed = false, gui = false, preview = false, apply = false;
    std::vector<std::string> drawings;
    Arguments args(list);
    std::string text;
    while (args.more()) {
        const std::string arg = args.next();
        bool ok = true;
        if (arg == "-s" || arg == "--script") ok = args.value(arg, "a file", o.scriptPath, error);
        else if (arg == "-t" || arg == "--trace") o.session.trace = true;
        else if (arg == "-o" || arg == "--save-as") ok = args.value(arg, "a file", o.session.saveAs, error);
        else if (arg == "-n" || arg == "--new") o.newDrawing = true;
        else if (arg == "--profile-dir") ok = args.value(arg, "a directory", o.session.profileDirectory, error);
        else if (arg == "--module") {
            ok = args.value(arg, "a file", o.session.modulePath, error);
            moduleNamed = true;
        } else if (arg == "--no-module") noModule = true;
        else if (arg == "--plot") {
            ok = args.value(arg, "a file", o.plot.path, error);
            if (ok && !render::plotFormatOf(o.plot.path)) {
                error = "--plot writes a .png, .pdf or .svg file";
                ok = false;
            }
        } else if (arg == "--layout") ok = args.value(arg, "a layout name", o.plot.layout, error);
        else if (arg == "--size") {
            ok = args.value(arg, "a size", text, error);
            if (ok && !render::parsePlotSize(text, o.plot.width, o.plot.height)) {
                error = "--size takes WIDTHxHEIGHT, each from 1 to " + std::to_string(render::kMaxPlotSide);
                ok = false;
            }
        } else if (arg == "--gui") gui = true;
        else if (arg == "--screenshot") ok = args.value(arg, "a file", o.screenshot, error);
        else if (arg == "--preview" || arg == "--apply") {
            (arg == "--preview" ? preview : apply) = true;
            ok = args.value(arg, "a configuration name", o.layerRun.configuration, error);
        } else if (arg == "--configurations") ok = args.value(arg, "a .Zly file", o.layerRun.file, error);
        else if (arg == "--viewports") {
            ok = args.value(arg, "\"all\" or a list of viewports (LAYOUT:N or #HANDLE, separated by commas)", text,
                            error);
            if (ok && !parseViewportChoice(text, o.layerRun.viewports, error)) {
                error = "--viewports: " + error;
                ok = false;
            }
        } else if (arg == "--save-in") ok = args.value(arg, "a directory", o.layerRun.saveIn, error);
        else if (arg == "--overwrite") o.layerRun.overwrite = true;
        else if (arg == "-h" || arg == "--help") {
            o.mode = ProgramOptions::Mode::Help;
            return true;
        } else if (!arg.empty() && arg[0] == '-') {
            error = "unknown option " + arg;
            ok = false;
        } else {
            drawings.push_back(arg);
        }
        if (!ok) return false;
    }
    if (!drawings.empty()) o.drawing = drawings.front();
    error = conflicts(o, preview, apply, noModule, moduleNamed, gui, drawings.size() > 1);
    if (!error.empty()) return false;
    if (noModule) o.session.modulePath.clear();
    if (preview || apply) {
        o.mode = preview ? ProgramOptions::Mode::Preview : ProgramOptions::Mode::Apply;
        o.layerRun.drawings = std::move(drawings);
    } else if (gui) {
        o.mode = ProgramOptions::Mode::Desktop;
    }
    return true;
}

const char* usageText() {
    return "usage: zan [options] [drawing.dxf]\n"
           "       zan --preview NAME --configurations FILE.Zly [--viewports LIST] [--plot F.png] [drawing.dxf]\n"
           "       zan --apply NAME --configurations FILE.Zly [--viewports LIST] --save-in DIR drawing.dxf...\n"
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
           "      --viewports LIST  restore to paper space viewports instead of model space: \"all\" (every\n"
           "                        floating viewport of the current layout) or viewports separated by commas,\n"
           "                        each LAYOUT:N (the layout's name and the viewport's number, as the preview\n"
           "                        lists them) or #HANDLE (e.g. --viewports \"Layout1:2,#1A3\")\n"
           "      --save-in DIR     with --apply: save the results in DIR (never over a drawing)\n"
           "      --overwrite       with --apply: a result may replace its drawing\n"
           "  -h, --help            show this help\n"
           "Exit status of --apply: 0 every drawing restored in full and saved, 1 a drawing failed,\n"
           "2 every drawing saved but one lacked what the configuration names; 64 a usage error.\n";
}

}  // namespace zan::app
