// The modifier bar (.Zmb) and symbol bar (.Zsb) readers on arbitrary text,
// read token by token as the bars read them: the first byte chooses the
// reader. Each item read is written as the bar writes it, and that line
// reads back as the same item.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "levels/level_button.h"
#include "levels/levels.h"
#include "levels/modifier_file_levels.h"
#include "module_state.h"
#include "shell/state.h"
#include "shell/token_reader.h"
#include "symbols/symbol_button.h"
#include "symbols/symbol_file.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A stream over text held for as long as the stream is.
struct TextFile {
    explicit TextFile(std::string content)
        // fmemopen of an empty buffer fails; a lone line end reads as nothing.
        : text(content.empty() ? std::string("\n") : std::move(content)),
          file(fmemopen(text.data(), text.size(), "r")) {}
    std::string text;
    File file;
};

// The item written, read back from its own line, written again: the same line.
template <typename Item>
void checkRoundTrip(const Item& item) {
    std::string once;
    item.writeTo(once);
    TextFile line(once);
    Item again;
    if (!line.file || !again.readFrom(line.file.get())) {
        std::fprintf(stderr, "a written line does not read back: %s\n", once.c_str());
        std::abort();
    }
    std::string twice;
    again.writeTo(twice);
    if (twice != once) {
        std::fprintf(stderr, "a written line reads back differently:\n%s%s", once.c_str(), twice.c_str());
        std::abort();
    }
}

void readModifierBar(std::FILE* file) {
    zan::ModifierFileContent content;
    zan::readTextToken(file, content.typeWord);
    zan::readModifierFileHeader(file, content.header);
    for (int i = 0; i < content.header.count; ++i) {
        auto button = std::make_unique<zan::LevelButton>();
        if (!button->readFrom(file)) break;
        content.buttons.push_back(std::move(button));
    }
    for (const auto& button : content.buttons) checkRoundTrip(*button);
}

void readSymbolBar(std::FILE* file) {
    std::string typeWord;
    zan::readTextToken(file, typeWord);
    zan::SymbolFileContent content;
    zan::readSymbolFile(file, content);
    for (const auto& symbol : content.symbols) checkRoundTrip(*symbol);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    zan::fuzz::startModuleOnce();
    zan::state().modifierSeparator = '-';
    TextFile input(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    if (!input.file) return 0;
    if (data[0] & 1) readSymbolBar(input.file.get());
    else readModifierBar(input.file.get());
    input.file.reset();
    zan::destroyAll(zan::state().levelList);
    return 0;
}
