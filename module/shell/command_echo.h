// Host commands the module sends run with the command echo off: CMDECHO is
// set to 0 for the guard's life and to 1 after it (the value it had before
// is not restored, as the host's other applications expect).
#pragma once

#include "shell/state.h"

namespace zan {

class CommandEchoOff {
public:
    CommandEchoOff() { setCmdEcho(false); }
    ~CommandEchoOff() { setCmdEcho(true); }
    CommandEchoOff(const CommandEchoOff&) = delete;
    CommandEchoOff& operator=(const CommandEchoOff&) = delete;
};

}  // namespace zan
