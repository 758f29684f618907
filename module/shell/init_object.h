// The drawing's initialization object: an insertion of the empty block
// "TUV_INIT_OBJ" whose extended data under "TUV_1001001" records where this
// drawing's files live and which record version it holds.
#pragma once

#include <string>

namespace zan {

inline constexpr const char* kInitBlockName = "TUV_INIT_OBJ";
inline constexpr const char* kLevelBlockName = "TUV_LEVEL_OBJ";
inline constexpr const char* kApplicationName = "TUV_1001001";
inline constexpr const char* kRecordVersion = "000.001.B";

inline constexpr const char* kKeyVersion = "TUV_Version_Number";
inline constexpr const char* kKeyLevelBitmapDirectory = "Level_bitmap_directory";
inline constexpr const char* kKeyConfigFilesDirectory = "Config_files_directory";
inline constexpr const char* kKeyLayerConfigFile = "Layer_config_file";
inline constexpr const char* kKeyModifierFile = "Modifier_file";

// Each returns true on success, false on failure after reporting it.
bool readInitObject();
bool createInitObject();
bool deleteInitObject();
bool setLayerConfigFile(const std::string& text, int reload);
bool setModifierFile(const std::string& text);
bool setLevelBitmapDirectory(const std::string& text, int rows);
bool ensureModelSpace();

// The commands.
int clearinitCommand();
int clearlevCommand();

}  // namespace zan
