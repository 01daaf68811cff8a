#include "app/startup.h"

#include "app/main_window.h"
#include "render/back_buffer.h"
#include "render/panel_painter.h"
#include "resources/resource_ids.h"
#include "setups/control_ids.h"
#include "setups/roll_setup.h"
#include "setups/ui_operations.h"

HINSTANCE gInstance;

bool registerWindowClass(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = WINDOW_CLASS_NAME;
    return RegisterClassA(&windowClass) != 0;
}

void unregisterWindowClass(HINSTANCE instance) {
    UnregisterClassA(WINDOW_CLASS_NAME, instance);
}

HWND createMainWindow(HINSTANCE instance) {
    // Fixed size: no sizing border and no maximise box.
    constexpr DWORD style = WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    return CreateWindowExA(WS_EX_APPWINDOW, WINDOW_CLASS_NAME, WINDOW_TITLE, style, CW_USEDEFAULT,
                           CW_USEDEFAULT, WINDOW_WIDTH, WINDOW_HEIGHT, nullptr, nullptr, instance,
                           nullptr);
}

bool initialiseApp(HWND window) {
    if (window == nullptr) {
        return false;
    }
    if (!gBackBuffer.create(window)) {
        return false;
    }
    ShowWindow(window, SW_SHOW);
    resetSetupTable();
    // Parsed by the field handler like typed text.
    fieldSetText(ID_NUM_ROLLS, "1");
    fieldSetText(ID_BONUS, "0");
    lstrcpynA(gNameLabel, "Name:", NAME_LABEL_CAPACITY);
    // Kept for the whole run and never deleted. A failed load leaves the panel on the
    // surface's own bitmap.
    if (backgroundImage() == nullptr) {
        setBackgroundImage(LoadBitmapA(gInstance, MAKEINTRESOURCEA(IDB_BACKGROUND)));
    }
    // The first WM_PAINT copies the surface: it must already show the panel, not the blank
    // bitmap it was built with.
    paintPanel();
    return true;
}
