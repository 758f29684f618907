#include "laycfg/configuration_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "ads/adslib.h"
#include "shell/drawing_paths.h"
#include "shell/init_object.h"
#include "shell/services.h"
#include "shell/state.h"
#include "tk/platform.h"

namespace zan {

namespace {

// At most the limit, never ending inside a multibyte character.
std::string_view limited(std::string_view text) {
    if (text.size() <= kMaximumStringBytes) return text;
    std::size_t n = kMaximumStringBytes;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return text.substr(0, n);
}

constexpr std::size_t kMaximumEntries = 0xFFFF;

const char* const kListNames[8] = {"", "", "", "", "Modifiers Included", "Modifiers Excluded", "Layers Included",
                                   "Layers Excluded"};

// A list longer than a count word can say is written as its first 65,535
// entries, and the user is told which list of which configuration was cut.
template <typename Items, typename Text>
void writeList(ArchiveWriter& archive, const std::string& configuration, int tag, const Items& first,
               const std::vector<std::string>& second, Text text) {
    std::size_t total = first.size() + second.size();
    std::size_t n = std::min(total, kMaximumEntries);
    if (n == 0) return;
    if (total > n)
        ads_printf("Layer Configuration %s: the list %s holds %zu entries; a file holds at most %zu, the rest "
                   "was not written.\n",
                   configuration.c_str(), kListNames[tag], total, kMaximumEntries);
    archive.word(tag);
    archive.word(static_cast<int>(n));
    std::size_t written = 0;
    for (const auto& item : first)
        if (written++ < n) archive.text(text(item));
    for (const std::string& item : second)
        if (written++ < n) archive.text(item);
}

// Larger files are not read: even 65535 entries in every list of many
// configurations stay far below this.
constexpr std::size_t kMaximumFileBytes = 64u << 20;

// Whether something is at the path; a path that cannot be examined (a folder
// on the way that may not be searched) counts as present, so that reading it
// reports why.
bool fileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    return "of an unknown kind";
}

std::string systemReason(const std::string& path, const char* doing) {
    return path + ": " + doing + ": " + std::strerror(errno);
}

// Reads a regular file whole. Anything else at the path (a directory, a FIFO,
// a device) is refused without being read: opening does not wait for a FIFO's
// writer. `why` names the file and says what failed.
bool readWhole(const std::string& path, std::string& bytes, std::string& why) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = systemReason(path, "cannot open");
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    if (!ok) why = systemReason(path, "cannot examine");
    else if (!S_ISREG(info.st_mode)) why = path + ": not a regular file but " + kindOf(info.st_mode);
    else if (static_cast<std::uintmax_t>(info.st_size) > kMaximumFileBytes)
        why = path + ": larger than " + std::to_string(kMaximumFileBytes >> 20) + " MB; not read";
    ok = why.empty();
    bytes.clear();
    char buffer[65536];
    while (ok) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            why = systemReason(path, "cannot read");
            ok = false;
        } else if (got == 0) {
            break;
        } else if (bytes.size() + static_cast<std::size_t>(got) > kMaximumFileBytes) {
            why = path + ": larger than " + std::to_string(kMaximumFileBytes >> 20) + " MB; not read";
            ok = false;
        } else {
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return ok;
}

// A file at a recorded path that holds something other than layer
// configurations (the drawing itself, recorded by mistake) is not replaced
// by a save the user did not confirm in the file dialog.
bool holdsOtherData(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    unsigned char start[2] = {};
    ssize_t got = 0;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        got = ::read(fd, start, sizeof start);
        if (got < 0) got = 0;
    }
    ::close(fd);
    if (info.st_size <= 0 || !S_ISREG(info.st_mode)) return false;
    return got < 2 || start[0] != (kFileSignature & 0xFF) || start[1] != (kFileSignature >> 8);
}

// Asks for a configuration file; the chosen path is recorded for the drawing.
std::string chooseFile(const char* title) {
    tk::FileDialogRequest request;
    request.owner = state().hostMainWindow;
    request.title = title;
    request.filter = "LayerFiles (*.Zly)|*.Zly||";
    request.defaultExtension = "Zly";
    request.flags = tk::OFN_HIDEREADONLY | tk::OFN_OVERWRITEPROMPT;
    std::optional<std::string> chosen = tk::platform().openFileDialog(request);
    if (!chosen || chosen->empty()) return {};
    setLayerConfigFile(*chosen, 0);
    return *chosen;
}

// Saves through the platform, which never leaves a half-written file; the
// reason for a failure is printed on its own line, naming the file.
bool replaceFile(const std::string& path, const std::string& bytes) {
    tk::SaveResult saved = tk::platform().saveFile(path, bytes);
    if (!saved) ads_printf("%s\n", saved.message.c_str());
    return saved.saved;
}

}  // namespace

void ArchiveWriter::word(int value) {
    auto w = static_cast<std::uint16_t>(value);
    bytes_ += static_cast<char>(w & 0xFF);
    bytes_ += static_cast<char>(w >> 8);
}

void ArchiveWriter::text(std::string_view value) {
    value = limited(value);
    word(static_cast<int>(value.size()));
    bytes_.append(value);
}

bool ArchiveReader::word(std::uint16_t& value) {
    if (ended_ || bytes_.size() - at_ < 2) {
        ended_ = true;
        return false;
    }
    value = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes_[at_]) |
                                       (static_cast<unsigned char>(bytes_[at_ + 1]) << 8));
    at_ += 2;
    return true;
}

bool ArchiveReader::text(std::string& value) {
    std::uint16_t length = 0;
    if (!word(length)) return false;
    if (bytes_.size() - at_ < length) {
        ended_ = true;
        return false;
    }
    std::string_view whole = bytes_.substr(at_, length);
    at_ += length;
    std::string_view kept = limited(whole);
    if (kept.size() != whole.size()) cut_ = true;
    value.assign(kept);
    return true;
}

int writeRecord(const LayerConfiguration& c, ArchiveWriter& archive) {
    if (c.name.empty()) return 0;
    archive.word(kRecordStart);
    archive.word(0);
    archive.text(c.name);
    if (!c.ucsName.empty()) {
        archive.word(1);
        archive.text(c.ucsName);
    }
    if (!c.viewName.empty()) {
        archive.word(2);
        archive.text(c.viewName);
    }
    archive.word(3);
    archive.word(c.restoredFlag);
    archive.word(c.spareFlag1);
    archive.word(c.spareFlag2);
    archive.word(c.undefinedLayerOption);
    auto levelName = [](const Level* level) -> const std::string& { return level->name; };
    auto same = [](const std::string& text) -> const std::string& { return text; };
    static const std::vector<std::string> none;
    writeList(archive, c.name, 4, c.includedModifiers, c.unresolvedIncludedModifiers, levelName);
    writeList(archive, c.name, 5, c.excludedModifiers, c.unresolvedExcludedModifiers, levelName);
    writeList(archive, c.name, 6, c.includedLayers, none, same);
    writeList(archive, c.name, 7, c.excludedLayers, none, same);
    archive.word(kRecordEnd);
    return 1;
}

bool readRecord(LayerConfiguration& c, ArchiveReader& archive) {
    return readRecord(c, archive, nullptr);
}

bool readRecord(LayerConfiguration& c, ArchiveReader& archive, std::unordered_set<std::string>* takenNames) {
    std::uint16_t tag = 0;
    std::string text;
    std::optional<LevelIndex> levels;  // made at the first modifier list
    while (archive.word(tag) && tag != kRecordEnd) {
        switch (tag) {
        case 0: if (archive.text(text)) c.name = text; break;
        // An empty UCS or view name means none, as the writer's leaving it out does.
        case 1: if (archive.text(text)) c.ucsName = text.empty() ? kNoName : text; break;
        case 2: if (archive.text(text)) c.viewName = text.empty() ? kNoName : text; break;
        case 3: {
            std::uint16_t flags[4] = {};
            bool ok = true;
            for (auto& f : flags) ok = ok && archive.word(f);
            if (ok) {
                c.restoredFlag = flags[0];
                c.spareFlag1 = flags[1];
                c.spareFlag2 = flags[2];
                c.undefinedLayerOption = flags[3];
            }
            break;
        }
        case 4: case 5: case 6: case 7: {
            std::uint16_t n = 0;
            if (!archive.word(n)) break;
            std::vector<std::string> entries;
            for (std::uint16_t i = 0; i < n && archive.text(text); ++i)
                if (tag < 6 || !text.empty()) entries.push_back(text);
            if (tag == 4 || tag == 5) {
                if (!levels) levels.emplace(state().levelList);
                tag == 4 ? c.resolveIncludedModifiers(entries, *levels) : c.resolveExcludedModifiers(entries, *levels);
            } else {
                tag == 6 ? c.addIncludedLayers(entries) : c.addExcludedLayers(entries);
            }
            break;
        }
        default: break;  // unknown tags carry nothing
        }
    }
    if (archive.ended()) return false;
    bool taken = takenNames ? !takenNames->insert(c.name).second : state().layerConfigurations.findByName(c.name) != nullptr;
    if (taken) {
        ads_printf("Layer Configuration named %s already defined.\n", c.name.c_str());
        return false;
    }
    return true;
}

std::string configurationFileBytes() {
    ArchiveWriter archive;
    archive.word(kFileSignature);
    for (const auto& c : state().layerConfigurations)
        if (!writeRecord(*c, archive)) ads_printf("Error saving file\n");
    archive.word(kFileEnd);
    return archive.bytes();
}

int loadConfigurationBytes(std::string_view bytes, const std::string& path) {
    ArchiveReader archive(bytes);
    std::uint16_t word = 0;
    if (!archive.word(word) || word != kFileSignature) {
        ads_printf("%s: File does not appear to be a Layer Configuration File.\n", path.c_str());
        return 0;
    }
    // The names taken so far, so that each record's name is checked in one step.
    std::unordered_set<std::string> taken;
    for (const auto& c : state().layerConfigurations) taken.insert(c->name);
    while (archive.word(word) && word == kRecordStart) {
        auto configuration = std::make_unique<LayerConfiguration>();
        if (readRecord(*configuration, archive, &taken)) state().layerConfigurations.append(std::move(configuration));
    }
    if (archive.cut())
        ads_printf("Texts longer than %zu characters in %s were cut.\n", kMaximumStringBytes, path.c_str());
    if (archive.ended()) {
        // What was read whole stays; the record the data ended in is dropped.
        ads_printf("Layer Configuration file %s ends early; a record cut short was not loaded.\n", path.c_str());
        return 0;
    }
    return 1;
}

namespace {

void reportNotFound(const std::string& path) {
    ads_printf("%s: no such file\n", path.c_str());
    messageBox("Layer Configuration file not found.\nFile may have been moved.", tk::MB_OK);
}

}  // namespace

int saveConfigurationFile(const std::string& given) {
    std::string path = resolveDrawingPath(given);
    bool chosen = false;
    if (path.empty()) {
        messageBox("Layer Configurations are dynamically written to a file.\nPlease select a file.", tk::MB_OK);
        path = chooseFile("Save ZAN Layer File");
        if (path.empty()) return 0;
        chosen = true;
    } else if (!fileExists(path)) {
        reportNotFound(path);
        path = chooseFile("Save ZAN Layer File");
        if (path.empty()) return 0;
        chosen = true;
    }
    if (!chosen && holdsOtherData(path)) {
        ads_printf("%s: not a Layer Configuration File; it was left as it is\n", path.c_str());
        messageBox("Failed opening file archive for saving.", tk::MB_OK);
        return 0;
    }
    if (!replaceFile(path, configurationFileBytes())) {
        messageBox("Failed opening file archive for saving.", tk::MB_OK);
        return 0;
    }
    returnFocusToHost();
    return 1;
}

int loadConfigurationFile(const std::string& given) {
    std::string path = resolveDrawingPath(given);
    if (path.empty() || !fileExists(path)) {
        if (!path.empty()) reportNotFound(path);
        path = chooseFile("Open or Create ZAN Layer File");
        if (path.empty()) return 0;
    }
    if (fileExists(path)) {
        std::string bytes, why;
        if (!readWhole(path, bytes, why)) {
            ads_printf("%s\n", why.c_str());
            messageBox("Failed opening Layer Configuration file.", tk::MB_OK);
            return 0;
        }
        int loaded = loadConfigurationBytes(bytes, path);
        returnFocusToHost();
        return loaded;
    }
    if (!replaceFile(path, {})) {
        messageBox("Failed opening Layer Configuration file.", tk::MB_OK);
        return 0;
    }
    if (!saveConfigurationFile(path)) messageBox("Layer Configurations will not be written to a file!!", tk::MB_OK);
    return 1;
}

int readConfigurationFile(const std::string& path) {
    std::string bytes, why;
    if (!readWhole(path, bytes, why)) {
        ads_printf("%s\n", why.c_str());
        return 0;
    }
    return loadConfigurationBytes(bytes, path);
}

}  // namespace zan
