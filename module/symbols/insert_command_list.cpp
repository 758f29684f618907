#include "symbols/insert_command_list.h"

#include "ads/adslib.h"
#include "shell/report.h"

#define ZAN_LIST_ERROR() ads_printf("Error : %s, %d\n", kModuleMacros, __LINE__)

namespace zan {

namespace {

// Appends to a list built front to back.
class ListBuilder {
public:
    bool text(const char* value) {
        resbuf* rb = ads_newrb(RTSTR);
        if (!rb) return false;
        rb->resval.rstring = acad__strdup(value);
        if (!rb->resval.rstring) {
            ads_relrb(rb);
            return false;
        }
        return append(rb);
    }
    bool real(double value) {
        resbuf* rb = ads_newrb(RTREAL);
        if (!rb) return false;
        rb->resval.rreal = value;
        return append(rb);
    }
    ResbufList take() { return std::move(list_); }

private:
    bool append(resbuf* rb) {
        if (!list_) list_.reset(rb);
        else last_->rbnext = rb;
        last_ = rb;
        return true;
    }
    ResbufList list_;
    resbuf* last_ = nullptr;
};

constexpr const char* kPause = "\\";

}  // namespace

ResbufList buildInsertCommand(const std::string& name, const InsertPresets& presets) {
    ListBuilder list;
    if (!list.text("Insert") || !list.text(name.c_str())) {
        ZAN_LIST_ERROR();
        return nullptr;
    }
    // The insertion point and the scale prompts are always asked; the
    // rotation prompt only when no rotation is preset.
    int pauses = presets.rotation ? 1 : 2;
    if (presets.rotation && (!list.text("r") || !list.real(*presets.rotation))) return nullptr;
    if (presets.scale) {
        const ScaleAndRotation& s = *presets.scale;
        if (!list.text("x") || !list.real(s.xScale) || !list.text("y") || !list.real(s.yScale) || !list.text("z") ||
            !list.real(s.zScale))
            return nullptr;
    } else if (!list.text(kPause) || !list.text(kPause)) {
        ZAN_LIST_ERROR();
        return nullptr;
    }
    for (int i = 0; i < pauses; ++i)
        if (!list.text(kPause)) {
            ZAN_LIST_ERROR();
            return nullptr;
        }
    return list.take();
}

}  // namespace zan
