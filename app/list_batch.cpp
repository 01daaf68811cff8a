#include "app/list_batch.h"

#include "render/panel_painter.h"

namespace {

// The two list boxes; a slot holds a list from its first change in a batch to the batch end.
constexpr int BATCH_LISTS = 2;
HWND gQuietLists[BATCH_LISTS];
bool gBatchOpen;
bool gPanelRepaintDue;

} // namespace

void beginListBatch() {
    gBatchOpen = true;
}

void quietListForBatch(HWND list) {
    if (!gBatchOpen || list == nullptr) {
        return;
    }
    HWND* freeSlot = nullptr;
    for (HWND& quiet : gQuietLists) {
        if (quiet == list) {
            return;
        }
        if (quiet == nullptr && freeSlot == nullptr) {
            freeSlot = &quiet;
        }
    }
    LONG_PTR style = GetWindowLongPtrA(list, GWL_STYLE);
    if (freeSlot == nullptr || (style & WS_VISIBLE) == 0) {
        return;
    }
    *freeSlot = list;
    SetWindowLongPtrA(list, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
}

void endListBatch() {
    gBatchOpen = false;
    for (HWND& quiet : gQuietLists) {
        if (quiet == nullptr) {
            continue;
        }
        HWND list = quiet;
        quiet = nullptr;
        // Still hidden: the list brings its scroll bars up to date without drawing them.
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        SetWindowLongPtrA(list, GWL_STYLE, GetWindowLongPtrA(list, GWL_STYLE) | WS_VISIBLE);
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    }
    if (gPanelRepaintDue) {
        gPanelRepaintDue = false;
        redrawPanel();
    }
}

bool deferPanelRepaint() {
    if (gBatchOpen) {
        gPanelRepaintDue = true;
    }
    return gBatchOpen;
}
