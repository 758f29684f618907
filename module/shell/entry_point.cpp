// The module's two exports: the entry point the host sends its application
// messages to, and the interface version the module was built for.
#include <exception>

#include "ads/adslib.h"
#include "ads/rxmsg.h"
#include "shell/lifecycle.h"
#include "tk/platform.h"

#define ZAN_EXPORT extern "C" __attribute__((visibility("default")))

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
    } catch (const std::exception&) {
        ads_printf("ERROR: in %s, at %d.\n", "tuv", __LINE__);
    } catch (...) {
        ads_printf("ERROR: in %s, at %d.\n", "tuv", __LINE__);
    }
    return AcRx::kRetOK;
}

ZAN_EXPORT int acrxGetApiVersion() { return ACRX_API_VERSION; }
