#pragma once

#include <windows.h>

// Shared by the probe's commands (probe.cpp, probe_window.cpp, probe_checks.cpp).

// How often the waits look again.
const DWORD POLL_INTERVAL_MS = 50;

// The dice roller's main window, or null when it is not shown.
HWND findMainWindow();
// A whole decimal number, nothing else.
bool parseNumber(const char* text, long* value);

// Waits for the main window and prints where it, its client area and its caption buttons
// are; when the window is minimised, only where it is.
int waitWindow(DWORD timeoutMs);
// Prints each child control's client rectangle.
int rectsCommand();
// Prints where an open popup menu is; 1 when none is open.
int popupCommand();
// Sends the main window empty messages until it is gone or TIMEOUT_MS have passed, then
// prints the longest it took to answer one, in ms: how long the program was busy.
int stallCommand(DWORD timeoutMs);

// Minimises and restores the main window COUNT times; every STEP cycles prints the
// process's GDI and USER object counts and its memory. 0 when every cycle completed.
int cycleCommand(long count, long step);
// Compares a raw RGB screenshot of the client area with the background image of EXE: every
// pixel the child controls do not cover must be the background's or the label grey, and
// the labels must have left grey ink. 0 when the panel is painted so.
int panelCommand(const char* exePath, const char* shotPath);
