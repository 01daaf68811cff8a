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

// The advance width of every character in one font. A line's width is then a sum of table
// entries in this process, where measuring each line through GDI costs two font selections
// and a call into the graphics driver: fitting 100 lines takes 0.07 to 0.10 ms under Wine
// instead of 0.22 to 0.34 (tests/app/press_bench.cpp). The lists' fonts live for the whole
// run (the setups list's is made once, the results list draws in a stock font), so a table
// stays right for its font handle.
struct FontWidths {
    HGDIOBJ font;
    int width[256];
};

// One table for each list's font.
constexpr int MEASURED_FONTS = 2;
FontWidths gFontWidths[MEASURED_FONTS];
int gFontsMeasured;

HDC measuringContext() {
    // One memory context for every measurement of the run, never deleted.
    static HDC measuringDC = CreateCompatibleDC(nullptr);
    return measuringDC;
}

// The widths of the font's characters, or null when the text cannot be summed character by
// character (under a code page with two-byte characters GDI measures the pairs) or a third
// font turns up: then each line is measured whole.
const FontWidths* fontWidths(HGDIOBJ font) {
    for (int i = 0; i < gFontsMeasured; ++i) {
        if (gFontWidths[i].font == font) {
            return &gFontWidths[i];
        }
    }
    CPINFO codePage = {};
    HDC dc = measuringContext();
    if (gFontsMeasured == MEASURED_FONTS || dc == nullptr || !GetCPInfo(CP_ACP, &codePage) ||
        codePage.MaxCharSize != 1) {
        return nullptr;
    }
    FontWidths& slot = gFontWidths[gFontsMeasured];
    HGDIOBJ previous = SelectObject(dc, font);
    bool measured = GetCharWidth32A(dc, 0, 255, slot.width) != FALSE;
    SelectObject(dc, previous);
    if (!measured) {
        return nullptr;
    }
    slot.font = font;
    ++gFontsMeasured;
    return &slot;
}

int measuredTextWidth(HGDIOBJ font, const char* text, int length) {
    HDC dc = measuringContext();
    if (dc == nullptr) {
        return 0;
    }
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, length, &size);
    SelectObject(dc, previous);
    return static_cast<int>(size.cx);
}

// A list without a font of its own draws in the system font.
HGDIOBJ listFont(HWND list) {
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0));
    return font != nullptr ? font : GetStockObject(SYSTEM_FONT);
}

int lineWidth(HGDIOBJ font, const FontWidths* widths, const char* text) {
    int length = static_cast<int>(strnlen(text, LINE_BUFFER - 1));
    if (widths == nullptr) {
        return measuredTextWidth(font, text, length) + LIST_TEXT_MARGIN;
    }
    int width = 0;
    for (int i = 0; i < length; ++i) {
        width += widths->width[static_cast<unsigned char>(text[i])];
    }
    return width + LIST_TEXT_MARGIN;
}

} // namespace

int listLineWidth(HWND list, const char* text) {
    if (list == nullptr) {
        return 0;
    }
    HGDIOBJ font = listFont(list);
    return lineWidth(font, fontWidths(font), text);
}

int listExtentNeeded(HWND list) {
    if (list == nullptr) {
        return 0;
    }
    HGDIOBJ font = listFont(list);
    const FontWidths* widths = fontWidths(font);
    int widest = 0;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    char line[LINE_BUFFER];
    for (int i = 0; i < count; ++i) {
        int length = static_cast<int>(SendMessageA(list, LB_GETTEXTLEN, i, 0));
        if (length < 0 || length >= LINE_BUFFER) {
            continue; // not a line of ours
        }
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
        int width = lineWidth(font, widths, line);
        widest = width > widest ? width : widest;
    }
    return widest;
}

void fitListExtent(HWND list) {
    if (list == nullptr || listExtentDeferred(list)) {
        return;
    }
    setExtent(list, listExtentNeeded(list));
}

void prepareListMeasuring(HWND resultsList, HWND setupsList) {
    const HWND lists[] = {resultsList, setupsList};
    for (HWND list : lists) {
        if (list == nullptr) {
            continue;
        }
        fontWidths(listFont(list));
        // The horizontal bar learns the list's width now. The list box sets it only once it
        // has an extent, so the first extent would otherwise find a page of 0 and show the
        // bar for even the shortest line, until the list box hides it again: two frame
        // changes on the first press, some 0.4 ms under Wine.
        RECT client = {};
        GetClientRect(list, &client);
        SCROLLINFO page = {};
        page.cbSize = sizeof page;
        page.fMask = SIF_PAGE;
        page.nPage = static_cast<UINT>(client.right);
        SetScrollInfo(list, SB_HORZ, &page, FALSE);
    }
}
