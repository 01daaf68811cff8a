#pragma once

// A text's width as GDI measures it whole, in the font the list draws with (its own, or the
// system font without one): the reference for the program's table of character widths.
#include <windows.h>

inline int gdiTextWidth(HWND list, HDC dc, const char* text, int length) {
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, length, &size);
    SelectObject(dc, previous);
    return static_cast<int>(size.cx);
}
