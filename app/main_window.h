#pragma once

#include <windows.h>

// The window procedure of the main window: creates the controls, paints from the
// offscreen surface, ends the program on close and routes the controls' notifications.
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
