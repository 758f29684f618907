// Message boxes and the standard file dialogs of the headless backend: shown
// in the transcript and answered by the script.
#include <filesystem>

#include "state.h"
#include "shared.h"

namespace tk::headless {
namespace {

namespace fs = std::filesystem;

struct Answer {
    const char* word;
    const char* shown;
    int code;
};

// The buttons of a message box style, in the order shown.
std::vector<Answer> buttonsOf(unsigned style) {
    switch (style & tk::kMessageBoxButtonsMask) {
        case tk::MB_OKCANCEL: return {{"ok", "OK", tk::IDOK}, {"cancel", "Cancel", tk::IDCANCEL}};
        case tk::MB_YESNOCANCEL:
            return {{"yes", "Yes", tk::IDYES}, {"no", "No", tk::IDNO}, {"cancel", "Cancel", tk::IDCANCEL}};
        case tk::MB_YESNO: return {{"yes", "Yes", tk::IDYES}, {"no", "No", tk::IDNO}};
        default: return {{"ok", "OK", tk::IDOK}};
    }
}

// Keeps a count of the prompts waiting, so that idle UI lines are refused meanwhile.
struct PromptScope {
    int& depth;
    explicit PromptScope(int& d) : depth(d) { ++depth; }
    ~PromptScope() { --depth; }
};

}  // namespace

int HeadlessPlatform::State::messageBox(std::string_view text, std::string_view title, unsigned style) {
    const std::vector<Answer> buttons = buttonsOf(style);
    std::string names;
    for (const auto& b : buttons) names += (names.empty() ? "" : "/") + std::string(b.shown);
    std::string shownTitle(title.empty() ? std::string_view(applicationName) : title);
    emit("[message box] " + text::quote(shownTitle) + " " + text::quote(text) + " [" + names + "]");
    PromptScope scope(promptDepth);
    const std::string waiting = "the message box " + text::quote(text);
    while (true) {
        const std::string line = takeAnswer(waiting);
        try {
            std::vector<std::string> words = uiWords(line);
            const std::string& word = words.front();
            if (words.size() == 1) {
                for (const auto& b : buttons)
                    if (word == b.word || (word == "escape" && (b.code == tk::IDCANCEL || buttons.size() == 1))) {
                        emit("[message box] -> " + std::string(b.shown));
                        return b.code;
                    }
            }
        } catch (const LineError&) {
        }
        refuseAnswer(text::quote(line) + " does not answer " + waiting + " (buttons: " + names + ")");
    }
}

std::optional<std::string> HeadlessPlatform::State::fileDialog(const tk::FileDialogRequest& request, bool save) {
    const std::string kind = save ? "save file" : "open file";
    const std::string tagText = "[" + kind + "]";
    emit(tagText + " " + text::quote(request.title) + " filter " + text::quote(request.filter) + " ext " +
         text::quote(request.defaultExtension) + " dir " + text::quote(request.initialDirectory) + " name " +
         text::quote(request.initialFileName));
    PromptScope scope(promptDepth);
    const std::string waiting = "the " + kind + " dialog " + text::quote(request.title);
    while (true) {
        const std::string line = takeAnswer(waiting);
        std::vector<std::string> words;
        try {
            words = uiWords(line);
        } catch (const LineError& e) {
            refuseAnswer(text::quote(line) + ": " + e.what());
            continue;
        }
        if (words.size() == 1 && (words[0] == "cancel" || words[0] == "escape")) {
            emit(tagText + " -> cancel");
            return std::nullopt;
        }
        if (words[0] != "file" || words.size() != 2 || words[1].empty()) {
            refuseAnswer(text::quote(line) + " does not answer " + waiting +
                         " (answer \"@file <path>\" or \"@cancel\")");
            continue;
        }

        // A relative name is taken in the dialog's initial directory; a name
        // without an extension gets the default one.
        fs::path path(words[1]);
        if (path.is_relative()) {
            std::error_code ec;
            fs::path base = request.initialDirectory.empty() ? fs::current_path(ec) : fs::path(request.initialDirectory);
            path = base / path;
        }
        path = path.lexically_normal();
        if (!path.has_filename()) {
            emit(tagText + " " + text::quote(path.string()) + " names no file");
            continue;
        }
        if (!path.has_extension() && !request.defaultExtension.empty())
            path += "." + request.defaultExtension;
        std::error_code ec;
        const bool exists = fs::exists(path, ec);
        if (exists && fs::is_directory(path, ec)) {
            emit(tagText + " " + text::quote(path.string()) + " is a directory");
            continue;
        }
        if ((request.flags & (tk::OFN_PATHMUSTEXIST | tk::OFN_FILEMUSTEXIST)) != 0 &&
            !fs::is_directory(path.parent_path(), ec)) {
            emit(tagText + " " + text::quote(path.parent_path().string()) + " does not exist");
            continue;
        }
        if ((request.flags & tk::OFN_FILEMUSTEXIST) != 0 && !exists) {
            emit(tagText + " " + text::quote(path.string()) + " does not exist");
            continue;
        }
        std::string note;
        if (exists && save && (request.flags & tk::OFN_OVERWRITEPROMPT) != 0) note = " (replaces the existing file)";
        if (!exists && (request.flags & tk::OFN_CREATEPROMPT) != 0) note = " (a new file)";
        emit(tagText + " -> " + text::quote(path.string()) + note);
        return path.string();
    }
}

}  // namespace tk::headless
