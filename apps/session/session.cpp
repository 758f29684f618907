#include "session/session.h"

#include <cstring>
#include <stdexcept>

#include "commands/core_commands.h"
#include "dxf/dxf.h"
#include "session/backend_factory.h"
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
    if (!host::dxf::saveDrawing(host_->db(), path, &message)) {
        output_(message + "\n");
        return false;
    }
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
    host_->commandLine().setSource(&script);
    platform_->setAnswerSource(&script);
}

int Session::run(Script& script) {
    attach(script);
    int status = run();
    host_->commandLine().setSource(nullptr);
    platform_->setAnswerSource(nullptr);
    return status;
}

int Session::run() {
    try {
        host_->run();
    } catch (const std::exception& e) {
        error_ = e.what();
    }
    if (error_.empty() && !platform_->failure().empty()) error_ = platform_->failure();
    if (!error_.empty()) {
        output_("\nzan: " + error_ + "\n");
        return 2;
    }
    return 0;
}

}  // namespace zan::app
