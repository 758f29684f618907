#include "shell/lifecycle.h"

#include "laycfg/restore_plan.h"
#include "levels/modifier_bar_window.h"
#include "shell/command_table.h"
#include "shell/host_lists.h"
#include "shell/init_object.h"
#include "shell/services.h"
#include "shell/state.h"
#include "tk/platform.h"

namespace zan {

namespace {

void registerCommands() {
    const auto& table = commandTable();
    for (std::size_t code = 0; code < table.size(); ++code) ads_defun(table[code].name, static_cast<short>(code));
}

void unregisterCommands() {
    const auto& table = commandTable();
    for (std::size_t code = 0; code < table.size(); ++code) ads_undef(table[code].name, static_cast<short>(code));
}

// Warns, and waits for the user, when automatic saving is off.
void checkSaveTime() {
    resbuf saveTime{};
    saveTime.restype = RTSHORT;
    if (ads_getvar("SAVETIME", &saveTime) == RTNORM && saveTime.restype == RTSHORT && saveTime.resval.rint <= 0) {
        ads_textscr();
        ads_printf("************************************************************\n");
        ads_printf("********************** WARNING *****************************\n");
        ads_printf("*******        SAVETIME VARIABLE IS SET TO ZERO     ********\n");
        ads_printf("*******            HIT ANY KEY TO CONTINUE          ********\n");
        ads_printf("********************** WARNING *****************************\n");
        ads_printf("************************************************************\n");
        int ignored = 0;
        ads_getint(nullptr, &ignored);
        ads_graphscr();
    }
}

void enableHandles() {
    resbuf handles{};
    if (ads_getvar("HANDLES", &handles) == RTNORM && handles.restype == RTSHORT && handles.resval.rint == 0) {
        if (ads_command(RTSTR, "HANDLES", RTSTR, "ON", 0) == RTNORM) ads_printf("Handles are now enabled.\n");
    }
}

void registerApplicationName() {
    if (ResbufList entry(ads_tblsearch("APPID", kApplicationName, 0)); entry) return;
    if (ads_regapp(kApplicationName) != RTNORM)
        ads_printf("Unable to register extended entity data, some functions may not work properly.\n");
}

}  // namespace

void onInitApplication(void* packet) {
    tk::platform().startModule(kApplicationTitle);
    state().hostMainWindow = adsw_acadMainWnd();
    acrxUnlockApplication(packet);
}

void onUnloadApplication() {
    ShellState& s = state();
    destroyAll(s.layerConfigurations);
    destroyAll(s.levelList);
    forgetRestoredTable();
    tk::platform().stopModule();
}

void onLoadDrawing() {
    registerCommands();
    state().drawingInitialized = false;
    checkSaveTime();
    if (ModifierBarWindow* bar = state().modifierBarWindow) tk::platform().postCloseRequest(bar->handle());
}

void onUnloadDrawing() {
    unregisterCommands();
    forgetRestoredTable();  // the layer table a restore left belongs to this drawing
    ads_printf("Unloading.\n");
}

void initializeDrawing() {
    ShellState& s = state();
    s.dragBasePoint = {0, 0, 0};
    s.dragPointA = {0, 120, 0};
    s.dragPointB = {0, -120, 0};
    s.dragPickedPoint = {0, 0, 0};
    s.dragMatrix = {};
    s.activeModifierPrefix.clear();
    s.modifierSeparator = '-';
    s.pocheRootName = "POCHE";
    s.pocheWallWidth = 3.5;
    s.pocheInset = 0.125;
    s.cmdEchoOff.restype = RTSHORT;
    s.cmdEchoOff.resval.rint = 0;
    s.cmdEchoOn.restype = RTSHORT;
    s.cmdEchoOn.resval.rint = 1;

    ads_printf("\nZAN is initializing...\n");
    enableHandles();
    registerApplicationName();

    resetInitObjectValues();
    destroyAll(s.levelList);
    destroyAll(s.layerConfigurations);

    s.initObjectMade = false;
    if (!readInitObject()) {
        s.initObjectMade = true;
        if (!createInitObject()) ads_printf("ZAN could not create init object.\n");
        if (!readInitObject()) ads_printf("ZAN could not find init object on second attempt.\n");
    }
    s.drawingInitialized = true;
}

void onInvoke() {
    int code = ads_getfuncode();
    if (!state().drawingInitialized) initializeDrawing();
    if (code >= 0 && code < static_cast<int>(kCommandCount)) commandTable()[static_cast<std::size_t>(code)].handler();
}

}  // namespace zan
