#include "batch.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <set>
#include <sstream>

#include "ads/adscodes.h"
#include "session/script.h"

namespace zan::app {

namespace {

namespace fs = std::filesystem;

// A script line that puts the chosen viewports into the host's previous
// selection just as the restore asks for its viewports, so that nothing the
// command does before can change that selection.
const char* const kChooseViewports = "@zan-batch-viewports";

// The module's prompts and echoes, which the results leave out.
bool isDialogue(const std::string& line) {
    static const char* const kPrefixes[] = {"Command:", "Layer configuration file <", "Layer configuration name:",
                                            "Restore to [", "ZAN is initializing", "Select objects:",
                                            "Enter new value for TILEMODE", "Drawing: ", kChooseViewports};
    // The answer after the viewports are chosen stands on a line of its own.
    if (line.empty() || line == "Previous") return true;
    for (const char* p : kPrefixes)
        if (line.rfind(p, 0) == 0) return true;
    return line.size() > 6 && line.compare(line.size() - 6, 6, " found") == 0;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// The configuration file as the module is to be told it: absolute, or
// relative to the drawing when that is shorter than the command line takes.
bool configurationPath(const std::string& file, const std::string& drawing, std::string& out) {
    std::error_code ec;
    fs::path absolute = fs::absolute(file, ec);
    out = ec ? file : absolute.lexically_normal().string();
    if (out.size() < ADS_MAX_STRING) return true;
    fs::path relative = absolute.lexically_relative(fs::absolute(drawing, ec).parent_path());
    out = relative.string();
    return !relative.empty() && out.size() < ADS_MAX_STRING;
}

// The command and its answers: the file, the name, the target and, for
// viewports, the chosen ones (the layout made current first).
std::string scriptFor(const char* command, const LayerConfigurationRun& run, const std::string& file) {
    std::string script;
    if (run.viewports.any()) script += "TILEMODE\n0\n";
    script += std::string(command) + "\n" + file + "\n" + run.configuration + "\n";
    script += run.viewports.any() ? "Viewports\n" + std::string(kChooseViewports) + "\nPrevious\n\n" : "Model\n";
    return script;
}

// Finds the run's viewports in the open drawing and has the session hand
// them to the restore's selection; false with the reason in `error`.
bool prepareViewports(Session& session, const LayerConfigurationRun& run, std::vector<ChosenViewport>& chosen,
                      std::string& error) {
    chosen.clear();
    if (!run.viewports.any()) return true;
    if (!resolveViewports(session.host().db(), run.viewports, chosen, error)) return false;
    std::vector<host::RecordId> ids;
    for (const ChosenViewport& v : chosen) ids.push_back(v.id);
    session.setUiLineHook([&session, ids](const std::string& line) {
        if (line != kChooseViewports) return false;
        session.host().selections().previous() = ids;
        return true;
    });
    return true;
}

bool checkRequest(const LayerConfigurationRun& run) {
    std::error_code ec;
    if (!fs::is_regular_file(run.file, ec)) {
        std::cerr << "zan: cannot read the configuration file " << run.file << "\n";
        return false;
    }
    if (run.configuration.empty() || run.configuration.size() >= ADS_MAX_STRING) {
        std::cerr << "zan: a configuration name has 1 to " << ADS_MAX_STRING - 1 << " characters\n";
        return false;
    }
    return true;
}

struct Outcome {
    bool ok = false;
    std::string text;                // the result, or why it failed
    std::vector<std::string> notes;  // what the drawing lacks: restored in part only
};

// The lines the module printed that say what a drawing lacks or why the
// restore did not happen.
bool isNote(const std::string& line) {
    static const char* const kNotes[] = {"The drawing had no ZAN initialization object", "No level ",
                                         "The drawing has no layer ", "Cannot find ",
                                         "Layer configuration entry "};
    for (const char* n : kNotes)
        if (line.find(n) != std::string::npos) return true;
    return false;
}

Outcome applyTo(const std::string& drawing, const fs::path& target, const LayerConfigurationRun& run,
                const SessionOptions& options) {
    Outcome result;
    std::string transcript;
    std::string file;
    if (!configurationPath(run.file, drawing, file)) {
        result.text = "the path of the configuration file is too long";
        return result;
    }
    Session session(options, [&](std::string_view text) { transcript += text; });
    Script script(scriptFor("ZANRestore", run, file));
    session.attach(script);
    if (!session.openDrawing(drawing)) {
        result.text = linesOf(transcript).empty() ? "cannot be read" : linesOf(transcript).front();
        return result;
    }
    std::vector<ChosenViewport> viewports;
    if (!prepareViewports(session, run, viewports, result.text)) return result;
    if (!session.loadModule()) {
        result.text = "the module could not be loaded";
        return result;
    }
    session.run();
    const std::string restored = "Layer configuration \"" + run.configuration + "\" restored";
    std::string failure;
    for (const std::string& line : linesOf(transcript)) {
        if (line.rfind(restored, 0) == 0) {
            result.text = "restored" + line.substr(restored.size());
            result.ok = true;
        } else if (isNote(line)) {
            if (std::find(result.notes.begin(), result.notes.end(), line) == result.notes.end())
                result.notes.push_back(line);
        } else if (failure.empty() && !isDialogue(line) && line.rfind("Warning: ", 0) != 0) {
            failure = line;
        }
    }
    if (!result.ok) {
        result.text = failure.empty() ? "the configuration was not restored" : failure;
        return result;
    }
    transcript.clear();
    if (!session.saveDrawing(target.string())) {
        result.ok = false;
        result.text = linesOf(transcript).empty() ? "cannot be saved" : linesOf(transcript).front();
        return result;
    }
    result.text += " Saved " + target.string() + ".";
    return result;
}

class ProgressBar {
public:
    explicit ProgressBar(std::size_t total) : total_(total), shown_(isatty(STDERR_FILENO) != 0) {}
    void show(std::size_t done, const std::string& name) {
        if (!shown_) return;
        constexpr std::size_t kWidth = 30;
        const std::size_t filled = total_ ? done * kWidth / total_ : kWidth;
        std::fprintf(stderr, "\r\033[K[%s%s] %zu/%zu %s", std::string(filled, '#').c_str(),
                     std::string(kWidth - filled, '.').c_str(), done, total_, name.c_str());
        std::fflush(stderr);
    }
    void clear() {
        if (!shown_) return;
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
    }

private:
    std::size_t total_;
    bool shown_;
};

}  // namespace

int runPreview(const LayerConfigurationRun& run, const SessionOptions& options, const std::string& demoDrawing,
               const render::PlotRequest& plot) {
    if (!checkRequest(run)) return 64;
    if (run.drawings.size() > 1) {
        std::cerr << "zan: --preview takes one drawing\n";
        return 64;
    }
    const std::string drawing = run.drawings.empty() ? demoDrawing : run.drawings.front();
    std::string file;
    if (!configurationPath(run.file, drawing, file)) {
        std::cerr << "zan: the path of the configuration file " << run.file << " is too long\n";
        return 64;
    }
    std::string transcript;
    Session session(options, [&](std::string_view text) { transcript += text; });
    Script script(scriptFor("ZANPreview", run, file));
    session.attach(script);
    if (!session.openDrawing(drawing)) {
        std::cerr << transcript;
        return 1;
    }
    std::vector<ChosenViewport> viewports;
    std::string error;
    if (!prepareViewports(session, run, viewports, error)) {
        std::cerr << "zan: " << drawing << ": " << error << "\n";
        return 1;
    }
    if (!session.loadModule()) {
        std::cerr << transcript;
        return 1;
    }
    if (!viewports.empty()) {
        std::string names;
        for (const ChosenViewport& v : viewports) names += (names.empty() ? "" : ", ") + v.name;
        std::cout << "Viewports: " << names << "\n";
    }
    session.run();
    bool previewed = false;
    for (const std::string& line : linesOf(transcript)) {
        if (isDialogue(line)) continue;
        if (line.rfind("Restoring layer configuration \"", 0) == 0) previewed = true;
        std::cout << line << "\n";
    }
    if (!previewed) return 1;
    if (plot.path.empty()) return 0;

    // The pictures: the drawing as it is, then restored (in this session only).
    auto named = [&](const char* which) {
        render::PlotRequest request = plot;
        const fs::path path(plot.path);
        request.path = (path.parent_path() / (path.stem().string() + "-" + which + path.extension().string())).string();
        return request;
    };
    transcript.clear();
    const render::PlotRequest before = named("before"), after = named("after");
    bool plotted = session.plotDrawing(before);
    Script restore(scriptFor("ZANRestore", run, file));
    session.run(restore);
    plotted = plotted && session.plotDrawing(after);
    if (!plotted) {
        std::cerr << transcript;
        return 1;
    }
    std::cout << "Plotted " << before.path << " and " << after.path << ".\n";
    return 0;
}

int runBatch(const LayerConfigurationRun& run, const SessionOptions& options) {
    if (!checkRequest(run)) return 64;
    if (run.drawings.empty()) {
        std::cerr << "zan: --apply needs the drawings to restore it in\n";
        return 64;
    }
    if (run.saveIn.empty() && !run.overwrite) {
        std::cerr << "zan: --apply needs --save-in DIR (or --overwrite to save over the drawings)\n";
        return 64;
    }
    std::error_code ec;
    if (!run.saveIn.empty()) {
        fs::create_directories(run.saveIn, ec);
        if (!fs::is_directory(run.saveIn, ec)) {
            std::cerr << "zan: cannot make the directory " << run.saveIn << "\n";
            return 64;
        }
    }

    ProgressBar progress(run.drawings.size());
    std::set<std::string> targets;
    std::size_t failed = 0, partial = 0;
    const auto started = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < run.drawings.size(); ++i) {
        const std::string& drawing = run.drawings[i];
        progress.show(i, drawing);
        const fs::path target =
            run.saveIn.empty() ? fs::path(drawing) : fs::path(run.saveIn) / fs::path(drawing).filename();
        Outcome outcome;
        const std::string key = fs::weakly_canonical(target, ec).string();
        if (!run.overwrite && fs::exists(drawing, ec) && fs::equivalent(target, drawing, ec)) {
            outcome.text = "the result would replace the drawing itself (give --overwrite to allow it)";
        } else if (!targets.insert(key).second) {
            outcome.text = "an earlier drawing of the same name was saved to " + target.string();
        } else {
            outcome = applyTo(drawing, target, run, options);
        }
        progress.clear();
        const bool inPart = outcome.ok && !outcome.notes.empty();
        if (!outcome.ok) ++failed;
        if (inPart) ++partial;
        std::cout << (!outcome.ok ? "FAILED  " : inPart ? "PARTIAL " : "ok      ") << drawing << ": " << outcome.text
                  << "\n";
        for (const std::string& note : outcome.notes) std::cout << "        " << note << "\n";
        std::cout.flush();
    }
    progress.show(run.drawings.size(), "");
    progress.clear();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const std::size_t total = run.drawings.size();
    std::printf("%zu of %zu drawing%s restored in full and saved, %zu restored in part and saved, %zu failed "
                "(%.1f s).\n",
                total - failed - partial, total, total == 1 ? "" : "s", partial, failed, seconds);
    return failed ? 1 : partial ? 2 : 0;
}

}  // namespace zan::app
