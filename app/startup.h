#pragma once

#include <windows.h>

constexpr const char* WINDOW_CLASS_NAME = "Tarvo_Dice";
constexpr const char* WINDOW_TITLE = "Tarvo Dice";
constexpr int WINDOW_WIDTH = 320; // outer, frame and caption included
constexpr int WINDOW_HEIGHT = 480;

// The executable's own instance, stored by the entry.
extern HINSTANCE gInstance;

// Registers the main window's class; the result may be ignored.
bool registerWindowClass(HINSTANCE instance);
void unregisterWindowClass(HINSTANCE instance);
// Creates the main window, not yet visible; its creation handler builds the controls and
// the surface. Null on failure.
HWND createMainWindow(HINSTANCE instance);
// Builds the surface again, shows the window, resets the setups, puts the starting texts
// into the fields, fills the name label and loads the background. False when the window
// is missing or the surface cannot be built.
bool initialiseApp(HWND window);
