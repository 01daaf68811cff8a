#include "app/list_batch.h"

#include "app/list_extent.h"

namespace {

// The two list boxes; a slot holds a list from its first change in a batch to the batch end.
constexpr int BATCH_LISTS = 2;
HWND gQuietLists[BATCH_LISTS];
bool gBatchOpen;

} // namespace

void beginListBatch() {
    gBatchOpen = true;
}

bool listExtentDeferred(HWND list) {
    if (!gBatchOpen || list == nullptr) {
        return false;
    }
    for (HWND quiet : gQuietLists) {
        if (quiet == list) {
            return true;
        }
    }
    return false;
}

void quietListForBatch(HWND list) {
    if (!gBatchOpen || list == nullptr || listExtentDeferred(list)) {
        return;
    }
    for (HWND& quiet : gQuietLists) {
        if (quiet == nullptr) {
            quiet = list;
            SendMessageA(list, WM_SETREDRAW, FALSE, 0);
            return;
        }
    }
}

void endListBatch() {
    for (HWND& quiet : gQuietLists) {
        if (quiet == nullptr) {
            continue;
        }
        HWND list = quiet;
        quiet = nullptr;
        fitListExtent(list);
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
    gBatchOpen = false;
}
