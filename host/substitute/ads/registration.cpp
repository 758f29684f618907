// Registration of application functions and the host's main window.
#include "ads/ads_context.h"

using host::ads::theHost;

extern "C" {

int ads_defun(const char* name, short code) {
    return theHost() && theHost()->applications().defun(name, code) ? RTNORM : RTERROR;
}

int ads_undef(const char* name, short code) {
    return theHost() && theHost()->applications().undef(name, code) ? RTNORM : RTERROR;
}

int ads_getfuncode(void) { return theHost() ? theHost()->applications().currentFunctionCode() : RTERROR; }

int acrxUnlockApplication(void* packet) { return theHost() && theHost()->applications().unlock(packet) ? 1 : 0; }

HWND adsw_acadMainWnd(void) { return theHost() ? theHost()->mainWindow() : nullptr; }

}  // extern "C"
