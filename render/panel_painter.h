#pragma once

#include <windows.h>

constexpr COLORREF LABEL_COLOR = RGB(100, 100, 100);
constexpr int NAME_LABEL_CAPACITY = 256;

// Text of the label beside the name field; empty until startup fills it.
extern char gNameLabel[NAME_LABEL_CAPACITY];

struct PanelLabel {
    const char* text;
    int x; // top-left corner in client pixels
    int y;
};
// The labels, drawn in this order; the first is gNameLabel.
constexpr int PANEL_LABEL_COUNT = 11;
extern const PanelLabel PANEL_LABELS[PANEL_LABEL_COUNT];

// The picture behind the labels. Startup loads it once and keeps owning it; the painter
// only selects it. Null means the labels go onto the surface's own blank bitmap.
void setBackgroundImage(HBITMAP image);
HBITMAP backgroundImage();

// Puts the background into the main window's surface and writes the grey labels over it.
// A freshly built surface is blank (black), so it is painted before anything copies it.
void paintPanel();
// paintPanel, then copies the surface into the window: the paced repaint, and the panel
// operation of the roll-setup logic after every roll.
void redrawPanel();
