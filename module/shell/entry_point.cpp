// The module's two exports: the entry point the host sends its application
// messages to, and the interface version the module was built for.
#include <exception>
#include <string>

#include "ads/adslib.h"
#include "ads/rxmsg.h"
#include "shell/command_table.h"
#include "shell/lifecycle.h"
#include "shell/report.h"
#include "tk/platform.h"

#define ZAN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// What the module was doing when a message failed, for the error line:
// the command or function being run, or the message.
std::string activity(int message) {
    switch (message) {
    case AcRx::kInitAppMsg: return "loading";
    case AcRx::kUnloadAppMsg: return "unloading";
    case AcRx::kLoadDwgMsg: return "opening the drawing";
    case AcRx::kUnloadDwgMsg: return "closing the drawing";
    case AcRx::kInvkSubrMsg: {
        int code = ads_getfuncode();
        if (code >= 0 && code < static_cast<int>(zan::kCommandCount))
            return zan::commandTable()[static_cast<std::size_t>(code)].name;
        return "function " + std::to_string(code);
    }
    default: return "message " + std::to_string(message);
    }
}

// An exception ends the message: the internal-error line, then the module,
// what it was doing and why, so that the report can be acted on.
void reportFailure(int message, int line, const char* reason) {
    ads_printf("ERROR: in %s, at %d.\n", zan::kModuleShell, line);
    ads_printf("zan: %s stopped: %s\n", activity(message).c_str(), reason);
}

}  // namespace

ZAN_EXPORT int acrxEntryPoint(int message, void* packet) {
    try {
        switch (message) {
        case AcRx::kInitAppMsg: zan::onInitApplication(packet); break;
        case AcRx::kUnloadAppMsg: zan::onUnloadApplication(); break;
        case AcRx::kLoadDwgMsg: zan::onLoadDrawing(); break;
        case AcRx::kUnloadDwgMsg: zan::onUnloadDrawing(); break;
        case AcRx::kInvkSubrMsg: zan::onInvoke(); break;
        default: break;
        }
    } catch (const tk::SessionAborted&) {
        // The platform ends the session (a script without an answer): not the module's to handle.
        throw;
    } catch (const std::exception& e) {
        reportFailure(message, __LINE__, e.what());
    } catch (...) {
        reportFailure(message, __LINE__, "an unknown exception");
    }
    return AcRx::kRetOK;
}

ZAN_EXPORT int acrxGetApiVersion() { return ACRX_API_VERSION; }
