#pragma once

#include <windows.h>

constexpr int CONTROL_COUNT = 12;

struct ControlPlace {
    int id;
    int x;
    int y;
    int width;
    int height;
};

// Where each control sits, in client pixels; layoutControls applies the rows in this order.
extern const ControlPlace LAYOUT_TABLE[CONTROL_COUNT];

// The font the setups list asks for: 12 pixels high, 6 wide, face "Courier", every other
// field 0.
LOGFONTA setupListFontRequest();
// Creates the twelve child controls of the main window, in their fixed order. A control
// that fails to be created is simply absent.
void createControls(HWND mainWindow, HINSTANCE instance);
// Gives the roll button its image and the setups list its fixed-pitch font (both loaded
// once and kept for the whole run).
void setControlFontAndImage(HINSTANCE instance);
// Moves every control to its fixed rectangle in client pixels, repainting each.
void layoutControls();
// The handle of a control by its id; null for an unknown or absent control.
HWND controlWindow(int controlId);
