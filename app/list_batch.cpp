#include "app/list_batch.h"

#include "app/list_extent.h"

namespace {

// What a list's scroll bars show: which are on, and the range, page and position of each.
struct ScrollLook {
    LONG_PTR bars;
    SCROLLINFO vertical;
    SCROLLINFO horizontal;
};

// A list from its first change in a batch to the batch end, with its scroll bars as they
// were drawn before the batch.
struct QuietList {
    HWND list;
    ScrollLook drawn;
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

// Fits the extent and switches the list's drawing back on while it is hidden from drawing
// (DefWindowProc's WM_SETREDRAW only clears WS_VISIBLE, and the pixels stay on screen). The
// list box then brings its scroll bars up to date without drawing them. This is what makes a
// press fast: the list box redraws both bars when its drawing comes back on, changed or not,
// and under Wine's default theme each bar drawn costs some 5 ms, more than the rest of a
// press of 100 lines. Pressing the same setup again leaves the bars as they were, so then
// only the lines are redrawn; otherwise the whole list.
void showQuietList(const QuietList& quiet) {
    HWND list = quiet.list;
    DefWindowProcA(list, WM_SETREDRAW, FALSE, 0);
    fitListExtent(list);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    DefWindowProcA(list, WM_SETREDRAW, TRUE, 0);
    if (!sameLook(quiet.drawn, scrollLook(list))) {
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        return;
    }
    // Showing the list again leaves its frame due for a repaint (under Wine). Nothing else can
    // be due here (the list was painted up to date when it joined the batch), so the frame
    // repaint is dropped: the bars on screen are still right.
    RedrawWindow(list, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_NOCHILDREN);
    InvalidateRect(list, nullptr, TRUE);
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
            // still draws: hiding it at the end validates its lines, and redrawing only the
            // lines validates its frame. Nothing due costs nothing.
            RedrawWindow(list, nullptr, nullptr, RDW_UPDATENOW | RDW_NOCHILDREN);
            quiet.list = list;
            quiet.drawn = scrollLook(list);
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
