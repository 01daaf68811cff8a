#pragma once

#include <windows.h>

constexpr int FRAMES_PER_SECOND = 30;

// Rebuilds the surface and lays the controls out again when the window's client size no
// longer matches the surface (after minimising and after restoring). True when it rebuilt.
bool matchSurfaceToWindow(HWND window);
// Handles messages until the quit message; when the queue is empty it sleeps 1 ms and
// repaints the panel at most FRAMES_PER_SECOND times a second.
void runMainLoop(HWND window);
