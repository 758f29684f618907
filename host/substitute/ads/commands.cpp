// ads_command and ads_cmd: host commands sent by an application.
#include <cstdarg>
#include <cstdio>

#include "ads/ads_context.h"
#include "ads/resbuf_lists.h"

using host::ads::theHost;

namespace {

int send(const resbuf* list) {
    host::Host& h = *theHost();
    std::vector<host::CommandInput> arguments;
    std::string traced = "command:";
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        traced += " " + host::describeResbuf(rb);
        host::CommandInput in;
        switch (rb->restype) {
        case RTSTR:
            in.text = rb->resval.rstring ? rb->resval.rstring : "";
            in.pause = in.text == "\\";
            break;
        case RTSHORT: in.text = std::to_string(rb->resval.rint); break;
        case RTLONG: in.text = std::to_string(rb->resval.rlong); break;
        case RTREAL: case RTANG: {
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "%.17g", rb->resval.rreal);
            in.text = buffer;
            break;
        }
        case RTPOINT: case RT3DPOINT:
            in.kind = host::CommandInput::Kind::Point;
            in.point = {rb->resval.rpoint[0], rb->resval.rpoint[1], rb->restype == RTPOINT ? 0.0 : rb->resval.rpoint[2]};
            break;
        case RTENAME:
            in.kind = host::CommandInput::Kind::Entity;
            in.entity = host::recordOfName(h.db(), rb->resval.rlname);
            if (in.entity == host::kNoRecord) return RTERROR;
            break;
        case RTPICKS: {
            in.kind = host::CommandInput::Kind::SelectionSet;
            auto* members = rb->resval.rlname[1] == host::ads::kSelectionTag
                                ? h.selections().find(rb->resval.rlname[0])
                                : nullptr;
            if (!members) return RTERROR;
            in.members = *members;
            break;
        }
        default: return RTERROR;
        }
        arguments.push_back(std::move(in));
    }
    h.trace(traced);
    return h.commands().sendFromApplication(std::move(arguments));
}

}  // namespace

extern "C" {

int ads_command(int type, ...) {
    if (!theHost()) return RTERROR;
    va_list args;
    va_start(args, type);
    // The list is released also when the command ends the session by an
    // exception (a script without an answer) passing through here.
    struct Release {
        resbuf* list;
        ~Release() { host::releaseList(list); }
    } owned{host::listFromVarargs(type, args)};
    va_end(args);
    return send(owned.list);
}

int ads_cmd(const struct resbuf* arguments) {
    if (!theHost()) return RTERROR;
    return send(arguments);
}

}  // extern "C"
