// Applying a layer configuration to the drawing: to model space with the
// host's LAYER command, or to chosen paper space viewports with VPLAYER.
#pragma once

#include <string>
#include <vector>

#include "laycfg/layer_configuration.h"
#include "shell/host_lists.h"

namespace zan {

// A list of a keyword's name list is closed before it would reach this length.
inline constexpr std::size_t kChunkLimit = 240;

void restoreToModelSpace(LayerConfiguration& configuration);
// True when the restore was sent to the viewports; false when it stopped
// before (not in paper space, no viewports, a list that could not be built).
bool restoreToViewports(LayerConfiguration& configuration);

struct RestorePlan;
// The two halves of a restore: the host commands that carry out a plan
// (restore_plan.h) and report it. applyViewports is false when the
// argument list could not be built. applyModelSpace is true when every
// layer command was carried out.
bool applyModelSpace(LayerConfiguration& configuration, const RestorePlan& plan);
bool applyViewports(const LayerConfiguration& configuration, const RestorePlan& plan, const int64_t* viewports);
// Asks for the paper space viewports a restore goes to (the first part of
// restoreToViewports); false, with the message, when there are none.
bool chooseViewports(SelectionSet& viewports);

// The name lists of one keyword, split at the chunk limit: modifier
// entries "P*,*|P*," and layer entries "NAME,". Always at least one list
// (possibly empty). Entries that cannot fit even alone are left out and
// reported through `tooLong`.
std::vector<std::string> modifierChunks(const std::vector<Level*>& levels, std::vector<std::string>* tooLong);
std::vector<std::string> layerChunks(const std::vector<std::string>& names, std::vector<std::string>* tooLong);

}  // namespace zan
