#include "core/host.h"

#include <cstdarg>
#include <cstdio>
#include <filesystem>

#include "dxf/dxf.h"
#include "geometry/extents.h"
#include "geometry/placement.h"
#include "geometry/view.h"

namespace host {

namespace {
Host* currentHost = nullptr;
}

Host* Host::current() { return currentHost; }

Host::Host(Output output)
    : output_(std::move(output)),
      commandLine_([this](std::string_view text) { output_(text); }),
      db_(dxf::newDrawing()),
      apps_(std::make_unique<Applications>(*this)),
      commands_(std::make_unique<CommandProcessor>(*this)) {
    currentHost = this;
    applySavedView(*db_);
    noteExtentsCurrent();
    savedRevision_ = db_->revision();
}

Host::~Host() {
    apps_->unloadAll();
    if (currentHost == this) currentHost = nullptr;
}

void Host::printf(const char* format, ...) {
    char buffer[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    print(buffer);
}

void Host::setDrawingPath(std::string path) {
    drawingPath_ = std::move(path);
    std::string name = drawingPath_.empty() ? "Drawing1.dwg" : drawingPath_;
    if (auto slash = name.find_last_of('/'); slash != std::string::npos) name = name.substr(slash + 1);
    // As in the CAD host, DWGPREFIX is the drawing's folder as a full path
    // with its trailing separator, however the drawing was named when opened;
    // applications resolve the relative paths a drawing records against it.
    // A drawing without a file has none.
    std::string prefix;
    if (!drawingPath_.empty()) {
        std::error_code ec;
        std::filesystem::path folder = std::filesystem::absolute(drawingPath_, ec).lexically_normal().parent_path();
        if (!ec) prefix = folder.string();
        if (!prefix.empty() && prefix.back() != '/') prefix += '/';
    }
    if (SystemVariable* v = db_->variables().find("DWGNAME")) v->value = name;
    if (SystemVariable* v = db_->variables().find("DWGPREFIX")) v->value = prefix;
}

std::string Host::drawingName() const { return drawingPath_.empty() ? std::string("Drawing1.dwg") : drawingPath_; }

bool Host::saveTo(const std::string& path, std::string& message) {
    if (!dxf::saveDrawing(*db_, path, &message)) return false;
    markSaved();
    return true;
}

void Host::closeDrawing() {
    apps_->sendUnloadDrawing();
    pendingBlock_.reset();
}

void Host::openDrawing(std::unique_ptr<Database> drawing, std::string path) {
    if (apps_->count() > 0) closeDrawing();
    db_ = std::move(drawing);
    applySavedView(*db_);
    noteExtentsCurrent();
    savedRevision_ = db_->revision();
    selections_ = SelectionSets();
    setDrawingPath(std::move(path));
    apps_->sendLoadDrawing();
}

void Host::trace(std::string_view line) {
    if (!trace_) return;
    std::string text = "[trace] ";
    text += line;
    text += "\n";
    print(text);
}

void Host::setTextScreen(bool text) {
    if (text == textScreen_) return;
    textScreen_ = text;
    print(text ? "[text screen]\n" : "[graphics screen]\n");
}

void Host::noteExtentsCurrent() {
    extentsRevision_ = db_->shapeRevision();
    extentsRecords_ = static_cast<RecordId>(db_->recordCount());
    extentsEntities_ = db_->entities().size();
}

void Host::refreshExtents() {
    // A drawing whose entities and blocks have not changed since it was
    // opened keeps the extents its file gave; changes to layers and other
    // table entries move nothing. When records were only added, what they
    // add is measured alone: a whole drawing is measured again only when
    // something stored changed (or an addition changes older entities).
    bool changed = db_->shapeRevision() != extentsRevision_;
    if (!changed && db_->recordCount() == extentsRecords_) return;
    if (changed || !growDrawingExtentsByAdditions(*db_, extentsRecords_, extentsEntities_))
        updateDrawingExtents(*db_);
    noteExtentsCurrent();
}

bool Host::paperSpaceCurrent() {
    return db_->variables().integer("TILEMODE", 1) == 0 && db_->variables().integer("CVPORT", 2) == 1;
}

RecordId Host::lastEntity() const {
    const auto& list = db_->entities();
    // Vertices, attributes and their SEQEND belong to the entity before them.
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (!db_->at(*it).erased && !isSubEntity(db_->at(*it))) return *it;
    return kNoRecord;
}

Host::InputControl Host::takeInputControl() {
    InputControl control = std::move(inputControl_);
    inputControl_ = InputControl{};
    return control;
}

void Host::idle() {
    if (idleHook_) idleHook_();
    commandLine_.takeQueuedText();
}

bool Host::runOneCommand() {
    if (quit_) return false;
    idle();
    std::optional<std::string> typed = commandLine_.read("Command: ", false);
    if (!typed) return false;
    std::string word = *typed;
    if (word.empty()) return true;
    if (word == "?") word = "HELP";
    if (word[0] == '(') {
        // An expression: read up to its closing parenthesis, then call the
        // function it names.
        int depth = 0;
        for (char c : word) depth += (c == '(') - (c == ')');
        while (depth > 0) {
            std::optional<std::string> more = commandLine_.read("", false);
            if (!more) return false;
            word += " " + *more;
            for (char c : *more) depth += (c == '(') - (c == ')');
        }
        std::string inner = word.substr(1);
        while (!inner.empty() && (inner.back() == ')' || inner.back() == ' ')) inner.pop_back();
        std::string name = inner.substr(0, inner.find(' '));
        if (!apps_->invoke(name)) printf("; error: no function definition: %s\n", upperName(name).c_str());
    } else if (commands_->isCommand(word)) {
        commands_->runTyped(word);
    } else if (!apps_->invoke("C:" + CommandProcessor::canonicalName(word))) {
        printf("Unknown command \"%s\".  Press F1 for help.\n", upperName(word).c_str());
        commandLine_.discardTypedInput();
    }
    // A command an application left waiting goes on with the user.
    commands_->continueWithUser();
    refreshExtents();
    return !quit_;
}

void Host::run() {
    while (runOneCommand()) {
    }
}

}  // namespace host
