#include "app/list_updates.h"

#include "setups/setup_library.h"

namespace {

// The lists held since the command began: at most the two list boxes.
HWND gHeldLists[2];

// The pixels the list's widest line needs, in the list's own font; 0 when it is empty.
int widestLine(HWND list) {
    HDC dc = GetDC(list);
    // A list without a font of its own draws in the system font.
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    LONG widest = 0;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    char line[SETUP_LINE_CAPACITY]; // the longest line the program adds
    for (int i = 0; i < count; ++i) {
        LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0 || length >= static_cast<LRESULT>(sizeof line)) {
            continue; // not a line of ours
        }
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line));
        SIZE size = {};
        GetTextExtentPoint32A(dc, line, static_cast<int>(length), &size);
        widest = size.cx > widest ? size.cx : widest;
    }
    SelectObject(dc, previous);
    ReleaseDC(list, dc);
    // One average character more, for the margin the list draws its text in from its edge.
    return count > 0 ? static_cast<int>(widest + metrics.tmAveCharWidth) : 0;
}

} // namespace

void holdListRedraw(HWND list) {
    for (HWND& held : gHeldLists) {
        if (list == nullptr || held == list) {
            return;
        }
        if (held == nullptr) {
            held = list;
            SendMessageA(list, WM_SETREDRAW, FALSE, 0);
            return;
        }
    }
}

void showHeldLists() {
    for (HWND& list : gHeldLists) {
        if (list != nullptr) {
            SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widestLine(list)), 0);
            SendMessageA(list, WM_SETREDRAW, TRUE, 0);
            RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
            list = nullptr;
        }
    }
}
