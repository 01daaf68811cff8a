#include "app/list_extent.h"

#include "app/list_batch.h"
#include "setups/setup_library.h"

#include <cstring>

namespace {

// Longer than any line the program adds (a setup line is the longest).
constexpr int LINE_BUFFER = SETUP_LINE_CAPACITY;

void setExtent(HWND list, int width) {
    SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(width), 0);
}

} // namespace

int listLineWidth(HWND list, const char* text) {
    // One memory context for every measurement of the run, never deleted: fetching a list's
    // own context for each of a hundred lines would cost more than the lines themselves.
    static HDC measuringDC = CreateCompatibleDC(nullptr);
    if (measuringDC == nullptr || list == nullptr) {
        return 0;
    }
    // A list without a font of its own draws in the system font.
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0));
    HGDIOBJ previous =
        SelectObject(measuringDC, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    SIZE size = {};
    GetTextExtentPoint32A(measuringDC, text, static_cast<int>(strnlen(text, LINE_BUFFER - 1)),
                          &size);
    SelectObject(measuringDC, previous);
    return static_cast<int>(size.cx) + LIST_TEXT_MARGIN;
}

void fitListExtent(HWND list) {
    if (list == nullptr || listExtentDeferred(list)) {
        return;
    }
    int widest = 0;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    char line[LINE_BUFFER];
    for (int i = 0; i < count; ++i) {
        int length = static_cast<int>(SendMessageA(list, LB_GETTEXTLEN, i, 0));
        if (length < 0 || length >= LINE_BUFFER) {
            continue; // not a line of ours
        }
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
        int width = listLineWidth(list, line);
        widest = width > widest ? width : widest;
    }
    setExtent(list, widest);
}

void prepareListMeasuring(HWND resultsList, HWND setupsList) {
    listLineWidth(resultsList, "0");
    listLineWidth(setupsList, "0");
}
