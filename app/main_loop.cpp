#include "app/main_loop.h"

#include "app/child_controls.h"
#include "app/frame_pacing.h"
#include "render/back_buffer.h"
#include "render/panel_painter.h"

bool matchSurfaceToWindow(HWND window) {
    RECT client;
    if (!GetClientRect(window, &client)) {
        return false;
    }
    if (client.right == gBackBuffer.clientRect.right &&
        client.bottom == gBackBuffer.clientRect.bottom) {
        return false;
    }
    // A failed rebuild is not fatal: painting uses whatever the surface holds.
    gBackBuffer.create(window);
    if (gBackBuffer.memoryDC != nullptr) {
        SetBkMode(gBackBuffer.memoryDC, TRANSPARENT);
        SetBkColor(gBackBuffer.memoryDC, RGB(0, 0, 0));
    }
    // Painted before the next WM_PAINT copies it, so the blank surface is never shown.
    paintPanel();
    layoutControls();
    return true;
}

void runMainLoop(HWND window) {
    for (;;) {
        // Checked before every message, not only when idle.
        matchSurfaceToWindow(window);
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return;
            }
            // No dialog-style navigation: Tab does not move between the fields.
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else {
            Sleep(1);
            if (frameDue(FRAMES_PER_SECOND)) {
                redrawPanel();
            }
        }
    }
}
