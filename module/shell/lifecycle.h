// The application messages and the lazy initialization of each drawing.
#pragma once

namespace zan {

void onInitApplication(void* packet);
void onUnloadApplication();
void onLoadDrawing();
void onUnloadDrawing();
void onInvoke();
// Brings a drawing into a known state on its first command.
void initializeDrawing();

}  // namespace zan
