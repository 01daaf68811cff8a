#include "app/main_window.h"

#include "app/child_controls.h"
#include "app/command_dispatch.h"
#include "render/back_buffer.h"
#include "setups/roll_setup.h"

namespace {

LRESULT onCreate(HWND window, const CREATESTRUCTA* creation) {
    HINSTANCE instance = creation->hInstance;
    createControls(window, instance);
    // Failing here is not fatal: startup builds the surface again and stops on failure.
    gBackBuffer.create(window);
    layoutControls();
    setControlFontAndImage(instance);
    return 0;
}

LRESULT onPaint(HWND window) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    // Drawn through the surface's own window context; the paint context only validates.
    gBackBuffer.copyToWindow();
    EndPaint(window, &paint);
    return 0;
}

LRESULT onCommand(WPARAM wParam) {
    WORD code = HIWORD(wParam);
    int controlId = LOWORD(wParam);
    // A list's selection change and focus changes are ignored.
    if (code == BN_CLICKED || code == LBN_DBLCLK) {
        commandDispatch(controlId);
    } else if (code == EN_CHANGE) {
        onFieldChanged(controlId);
    }
    return 0;
}

} // namespace

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return onCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_PAINT:
        return onPaint(window);
    case WM_CLOSE:
    case WM_DESTROY:
        // The window stays until the process ends; the main loop stops on the quit message.
        PostQuitMessage(0);
        return 0;
    case WM_COMMAND:
        return onCommand(wParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
