// The layer configuration file (.Zly): a binary list of records made of
// 16-bit little-endian words and length-prefixed strings; signature 999,
// records 1000 ... 2000, end word 3000.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>

#include "laycfg/layer_configuration.h"

namespace zan {

inline constexpr std::uint16_t kFileSignature = 999;
inline constexpr std::uint16_t kRecordStart = 1000;
inline constexpr std::uint16_t kRecordEnd = 2000;
inline constexpr std::uint16_t kFileEnd = 3000;
// Strings are at most this many bytes; longer ones are cut when read or written.
inline constexpr std::size_t kMaximumStringBytes = 127;

// Builds the bytes of a file.
class ArchiveWriter {
public:
    void word(int value);
    void text(std::string_view value);
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// Reads the bytes of a file; every read fails once the data has run out.
class ArchiveReader {
public:
    explicit ArchiveReader(std::string_view bytes) : bytes_(bytes) {}
    bool word(std::uint16_t& value);
    bool text(std::string& value);
    bool ended() const { return ended_; }  // a read went past the end
    bool cut() const { return cut_; }      // a string longer than the limit was cut

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
    bool ended_ = false;
    bool cut_ = false;
};

// One record; 0 (nothing written) when the configuration has no name.
int writeRecord(const LayerConfiguration& configuration, ArchiveWriter& archive);
// One record whose start word was read; true when it is to be added to the
// list (its name is not taken). A record cut short by the end of the data
// is never added (see archive.ended()).
bool readRecord(LayerConfiguration& configuration, ArchiveReader& archive);
// The same with the names of the list's configurations (and of the records
// read before) in `takenNames`; an accepted record's name is added to it.
bool readRecord(LayerConfiguration& configuration, ArchiveReader& archive, std::unordered_set<std::string>* takenNames);

// The whole list as file content.
std::string configurationFileBytes();
// 1 on success, 0 otherwise; see the file dialogs and messages they show.
int saveConfigurationFile(const std::string& path);
int loadConfigurationFile(const std::string& path);
// Appends the configurations of a file's content (`path` names it in the
// messages); 1 when it was read to its end word, 0 otherwise.
int loadConfigurationBytes(std::string_view bytes, const std::string& path);
// Appends the configurations of a named file without any dialog: 1 when it
// was read to its end word, 0 with the reason on the command line.
int readConfigurationFile(const std::string& path);

}  // namespace zan
