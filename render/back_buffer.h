#pragma once

#include <windows.h>

// The offscreen surface of the main window. The window's own area is only ever drawn by
// copying this surface; the panel painter draws into it.
struct BackBuffer {
    HWND window;
    HDC windowDC;           // from GetDC, held until release
    HDC memoryDC;           // compatible with windowDC
    HBITMAP bitmap;         // compatible with windowDC, client-sized at creation
    HGDIOBJ previousBitmap; // what memoryDC held before bitmap was selected
    RECT windowRect;        // screen coordinates at creation
    RECT clientRect;        // at creation; right is the width, bottom the height

    // Builds the surface for the window's current client size, releasing the old one first.
    // A failed step leaves what it already acquired for the next release.
    bool create(HWND target);
    // Frees everything in reverse order of acquisition and empties each handle, so it is
    // safe on an empty or half-built record and twice in a row. window and the rectangles
    // keep their values.
    void release();
    // Copies the client-sized top-left part of the surface into the window.
    void copyToWindow() const;
};

// The main window's surface; empty at load.
extern BackBuffer gBackBuffer;
