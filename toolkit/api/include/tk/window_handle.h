/* The opaque window handle shared by the toolkit interface and the host
 * programming interface (the host's main window is a toolkit window). */
#ifndef TK_WINDOW_HANDLE_H
#define TK_WINDOW_HANDLE_H

struct TkWindow;
typedef struct TkWindow* HWND;

#endif
