// The shared parts of the toolkit (toolkit/common) that the headless backend
// builds on, under the short names its sources use.
#pragma once

#include "tk/common/builtin_bitmaps.h"
#include "tk/common/dialog_model.h"
#include "tk/common/dib_reader.h"
#include "tk/common/image_file.h"
#include "tk/common/ini_profile.h"
#include "tk/common/text.h"
#include "tk/common/ui_line.h"
#include "tk/common/ui_script.h"

namespace tk::headless {

namespace text = tk::common::text;
using common::DialogModel;
using common::IniProfile;
using common::LineError;
using common::MissingAnswer;
using common::ScriptError;
using common::UiAnswerSource;
using common::uiWords;
using common::builtinBitmap;
using common::DibResult;
using common::readDibFile;
using common::writeImageFile;
using common::defaultProfileDirectory;
using common::profileFileName;

}  // namespace tk::headless
