#include "session/session.h"

#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "commands/core_commands.h"
#include "dxf/dxf.h"
#include "session/backend_factory.h"
#include "session/heap_policy.h"
#include "session/host_drawing.h"
#include "session/plot_command.h"

namespace zan::app {

// Messages the platform delivers to the host's main window: command text
// sent by an application is queued on the command line.
class Session::MainWindowSink final : public tk::WindowMessageSink {
public:
    explicit MainWindowSink(host::Host& host) : host_(host) {}

    long onCopyData(unsigned long identifier, const void* data, std::size_t length) override {
        if (identifier != 1 || !data || length == 0) return 0;
        // The text's terminating zero is part of the data; never read past `length`.
        const char* text = static_cast<const char*>(data);
        std::size_t size = strnlen(text, std::min<std::size_t>(length, host::CommandLine::kMaxInput));
        std::string command(text, size);
        host_.trace("text: \"" + command + "\"");
        host_.commandLine().queueText(std::move(command));
        return 1;
    }

private:
    host::Host& host_;
};

Session::Session(SessionOptions options, std::function<void(std::string_view)> output)
    : options_(std::move(options)), output_(std::move(output)) {
    keepFreedMemoryForReuse();
    std::string problem;
    platform_ = makeBackend(options_.backend, problem);
    if (!platform_) throw std::invalid_argument(problem);
    platform_->setTranscript(output_);
    if (!options_.profileDirectory.empty()) platform_->setProfileDirectory(options_.profileDirectory);
    tk::installPlatform(platform_.get());
    host_ = std::make_unique<host::Host>(output_);
    host::registerCoreCommands(*host_);
    registerPlotCommand(*host_);
    host_->setTrace(options_.trace);
    host_->setSaveTarget(options_.saveAs);
    mainWindowSink_ = std::make_unique<MainWindowSink>(*host_);
    mainWindow_ = platform_->createExternalWindow("ZAN", mainWindowSink_.get());
    host_->setMainWindow(mainWindow_);
    host_->setIdleHook([this] { platform_->processPostedMessages(); });
    host_->commandLine().setUiLineHandler([this](const std::string& line) {
        output_(line + "\n");
        if (uiLineHook_ && uiLineHook_(line)) return;
        std::string message;
        if (!platform_->performUiLine(line, message)) output_("zan: " + message + "\n");
    });
}

Session::~Session() {
    host_.reset();  // unloads the module while the platform is still there
    tk::installPlatform(nullptr);
}

bool Session::loadModule() {
    if (options_.modulePath.empty()) return true;
    std::string message;
    if (!host_->applications().load(options_.modulePath, message)) {
        output_(message + "\n");
        return false;
    }
    return true;
}

bool Session::openDrawing(const std::string& path) {
    std::string message;
    std::vector<std::string> warnings;
    std::unique_ptr<host::Database> drawing = host::dxf::loadDrawing(path, &message, &warnings);
    if (!drawing) {
        output_(message + "\n");
        return false;
    }
    for (const std::string& warning : warnings) output_("Warning: " + warning + "\n");
    host_->openDrawing(std::move(drawing), path);
    return true;
}

void Session::newDrawing() { host_->openDrawing(host::dxf::newDrawing(), ""); }

bool Session::saveDrawing(const std::string& path) {
    std::string message;
    if (!host_->saveTo(path, message)) {
        output_(message + "\n");
        return false;
    }
    output_("Saved " + path + ".\n");
    return true;
}

bool Session::plotDrawing(const render::PlotRequest& request) {
    HostDrawing drawing(*host_);
    std::string message;
    if (!render::plotDrawing(drawing, request, message)) {
        output_(message + "\n");
        return false;
    }
    return true;
}

void Session::attach(Script& script) {
    script_ = &script;
    host_->commandLine().setSource(&script);
    host_->setAsksToSave(script.interactive() && options_.saveAs.empty());
    platform_->setAnswerSource(&script);
}

int Session::run(Script& script) {
    attach(script);
    int status = run();
    host_->commandLine().setSource(nullptr);
    platform_->setAnswerSource(nullptr);
    script_ = nullptr;
    return status;
}

bool Session::endOfInputLosesChanges() const {
    return script_ != nullptr && script_->interactive() && host_->asksToSave() && host_->modified() &&
           !host_->quitRequested();
}

std::string Session::recoveryPath() const {
    namespace fs = std::filesystem;
    fs::path drawing = host_->drawingPath().empty() ? fs::path("Drawing1.dxf") : fs::path(host_->drawingPath());
    fs::path base = drawing.parent_path() / drawing.stem();
    std::error_code ec;
    for (int n = 1;; ++n) {
        fs::path candidate = base;
        candidate += n == 1 ? ".recovered.dxf" : ".recovered-" + std::to_string(n) + ".dxf";
        if (!fs::exists(fs::symlink_status(candidate, ec)) || n >= 1000) return candidate.string();
    }
}

int Session::run() {
    int status = 0;
    try {
        while (true) {
            host_->run();
            if (!endOfInputLosesChanges()) break;
            // Ctrl-D at the terminal: the user is asked as for QUIT.
            script_->resume();
            host_->commandLine().setSource(script_);
            host_->commands().runTyped("QUIT");
            if (host_->quitRequested()) break;
            if (host_->commandLine().ended()) {
                status = saveRecoveryCopy("The input ended before the question was answered");
                break;
            }
            // Cancel: back to the command line.
        }
    } catch (const std::exception& e) {
        error_ = e.what();
    }
    if (error_.empty() && !platform_->failure().empty()) error_ = platform_->failure();
    if (!error_.empty()) {
        output_("\nzan: " + error_ + "\n");
        // At a terminal the run stops only when the input ended at a dialog:
        // the changes are kept as at the end of input.
        if (endOfInputLosesChanges()) saveRecoveryCopy("The session stopped");
        return 2;
    }
    return status;
}

int Session::saveRecoveryCopy(const std::string& why) {
    // No answer can be had: keep the changes without touching the drawing's file.
    const std::string path = recoveryPath();
    output_(why + "; the changes go to " + path + ".\n");
    if (saveDrawing(path)) return 0;
    output_("The changes could not be saved and are lost.\n");
    return 1;
}

}  // namespace zan::app
