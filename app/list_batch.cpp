#include "app/list_batch.h"

#include "app/list_extent.h"

#include <uxtheme.h>

namespace {

// What a list's scroll bars show: which are on, and the range, page and position of each.
struct ScrollLook {
    LONG_PTR bars;
    SCROLLINFO vertical;
    SCROLLINFO horizontal;
};

// A list from its first change in a batch to the batch end, with its scroll bars as they
// were drawn before the batch, and the line count and extent that they showed.
struct QuietList {
    HWND list;
    ScrollLook drawn;
    LRESULT lines;
    int extent;
};

// The two list boxes.
constexpr int BATCH_LISTS = 2;
QuietList gQuietLists[BATCH_LISTS];
bool gBatchOpen;

ScrollLook scrollLook(HWND list) {
    ScrollLook look = {};
    look.bars = GetWindowLongPtrA(list, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL);
    look.vertical.cbSize = sizeof look.vertical;
    look.vertical.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    look.horizontal = look.vertical;
    GetScrollInfo(list, SB_VERT, &look.vertical);
    GetScrollInfo(list, SB_HORZ, &look.horizontal);
    return look;
}

bool sameBar(const SCROLLINFO& a, const SCROLLINFO& b) {
    return a.nMin == b.nMin && a.nMax == b.nMax && a.nPage == b.nPage && a.nPos == b.nPos;
}

bool sameLook(const ScrollLook& a, const ScrollLook& b) {
    return a.bars == b.bars && sameBar(a.vertical, b.vertical) &&
           sameBar(a.horizontal, b.horizontal);
}

// Draws a list whole at once, through its own context, instead of leaving a repaint in the
// queue: under Wine a WM_PAINT costs some 0.2 ms before it draws anything, and a frame
// repainted through the update region 0.35 ms, about ten and five times drawing the same
// directly (the list box draws its lines for WM_PRINTCLIENT, its frame and bars for
// WM_NCPAINT). A list that cannot be seen just has its repaint left due.
void drawListNow(HWND list, bool withFrame) {
    if (!IsWindowVisible(list)) {
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        return;
    }
    // Nothing due is left: showing the list leaves its frame due (under Wine), and the list
    // was painted up to date when it joined the batch.
    RedrawWindow(list, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_NOCHILDREN);
    if (withFrame) {
        SendMessageA(list, WM_NCPAINT, 1, 0); // 1: the whole frame
    }
    HDC dc = GetDC(list);
    SendMessageA(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    ReleaseDC(list, dc);
}

// True when the lines need both scroll bars, each even without the other, and neither is on:
// showing both at once changes the list's frame once instead of once for each bar.
bool needsBothBars(HWND list, int extent) {
    if ((GetWindowLongPtrA(list, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)) != 0) {
        return false;
    }
    RECT client = {};
    GetClientRect(list, &client);
    const LRESULT lines = SendMessageA(list, LB_GETCOUNT, 0, 0);
    const LRESULT lineHeight = SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
    return extent > client.right && lines * lineHeight > client.bottom;
}

// Fits the extent, switches the list's drawing back on and draws it. The list box then brings
// both scroll bars up to date and redraws them, changed or not. Without a theme that costs
// Wine some 0.05 ms a bar. But a bar that comes or goes changes the list's frame, and on a
// list that can be seen Wine repaints the frame at once, some 1.3 ms each time; and under a
// theme each bar drawn costs some 5 ms. In those cases the list is first hidden from drawing
// (DefWindowProc's WM_SETREDRAW only clears WS_VISIBLE, and the pixels stay on screen), which
// costs some 0.6 ms, and its frame is drawn once at the end if the bars changed. A bar can only
// come or go when the list's line count or widest line changed.
void showQuietList(const QuietList& quiet) {
    HWND list = quiet.list;
    const int extent = listExtentNeeded(list);
    const bool hideWhileUpdating = extent != quiet.extent ||
                                   SendMessageA(list, LB_GETCOUNT, 0, 0) != quiet.lines ||
                                   IsThemeActive();
    if (hideWhileUpdating) {
        DefWindowProcA(list, WM_SETREDRAW, FALSE, 0);
        if (needsBothBars(list, extent)) {
            ShowScrollBar(list, SB_BOTH, TRUE);
        }
    }
    SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    if (hideWhileUpdating) {
        DefWindowProcA(list, WM_SETREDRAW, TRUE, 0);
    }
    // A list that was not hidden has drawn its bars already.
    drawListNow(list, hideWhileUpdating && !sameLook(quiet.drawn, scrollLook(list)));
}

} // namespace

void beginListBatch() {
    gBatchOpen = true;
}

bool listExtentDeferred(HWND list) {
    if (!gBatchOpen || list == nullptr) {
        return false;
    }
    for (const QuietList& quiet : gQuietLists) {
        if (quiet.list == list) {
            return true;
        }
    }
    return false;
}

void quietListForBatch(HWND list) {
    if (!gBatchOpen || list == nullptr || listExtentDeferred(list)) {
        return;
    }
    for (QuietList& quiet : gQuietLists) {
        if (quiet.list == nullptr) {
            // A repaint already due (its lines, or only its frame) is done now, while the list
            // still draws: the batch end drops what is due and draws the frame only when the
            // bars changed. Nothing due costs nothing.
            RedrawWindow(list, nullptr, nullptr, RDW_UPDATENOW | RDW_NOCHILDREN);
            quiet.list = list;
            quiet.drawn = scrollLook(list);
            quiet.lines = SendMessageA(list, LB_GETCOUNT, 0, 0);
            quiet.extent = static_cast<int>(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0));
            SendMessageA(list, WM_SETREDRAW, FALSE, 0);
            return;
        }
    }
}

void endListBatch() {
    for (QuietList& slot : gQuietLists) {
        if (slot.list == nullptr) {
            continue;
        }
        QuietList quiet = slot;
        slot.list = nullptr; // so that the extent is fitted now, not deferred
        showQuietList(quiet);
    }
    gBatchOpen = false;
}
