#include "render/panel_painter.h"

#include "render/back_buffer.h"

#include <cstring>

char gNameLabel[NAME_LABEL_CAPACITY];

namespace {

HBITMAP gBackgroundImage;

} // namespace

const PanelLabel PANEL_LABELS[PANEL_LABEL_COUNT] = {
    {gNameLabel, 5, 10},
    {"Results:", 10, 65},
    {"Num Dice", 80, 85},
    {"Size", 180, 85},
    {"Bonus", 90, 150},
    {"+", 82, 168},
    {"Num Rolls", 160, 150},
    {"Drop", 262, 135},
    {"Lowest", 257, 150},
    {"Please email me with any comments", 10, 400},
    {"tarvo-dice@example.org", 10, 420},
};

void setBackgroundImage(HBITMAP image) {
    gBackgroundImage = image;
}

HBITMAP backgroundImage() {
    return gBackgroundImage;
}

void paintPanel() {
    HDC surface = gBackBuffer.memoryDC;
    if (surface == nullptr) {
        return;
    }
    // The labels land on the background image itself; every repaint writes the same texts
    // at the same places, so the image stays the same from one repaint to the next.
    if (gBackgroundImage != nullptr) {
        SelectObject(surface, gBackgroundImage);
    }
    SetTextColor(surface, LABEL_COLOR);
    SetBkMode(surface, TRANSPARENT);
    for (const PanelLabel& label : PANEL_LABELS) {
        int length = static_cast<int>(strnlen(label.text, NAME_LABEL_CAPACITY - 1));
        TextOutA(surface, label.x, label.y, label.text, length);
    }
}

void redrawPanel() {
    paintPanel();
    gBackBuffer.copyToWindow();
}
