#pragma once

#include <windows.h>

// A command may change a hundred lines at once, and Wine's list box repaints its scroll bars
// at once on every change (and again when WM_SETREDRAW switches drawing back on), at several
// milliseconds a bar. So each command runs as one batch: a list it changes is first quieted,
// marked not visible (as DefWindowProc's WM_SETREDRAW does on Windows) and told not to redraw,
// so that it keeps its lines and scroll ranges without drawing anything. At the end of the
// batch it is switched back while still hidden, shown, and repainted once, frame included.
// A panel repaint asked for during the batch is done at its end, once the lists are visible
// again, so that the panel's copy cannot cover them.

void beginListBatch();
void endListBatch();
// Before a list's lines change: quiets the list for the rest of an open batch.
void quietListForBatch(HWND list);
// True, and the repaint remembered for the end of the batch, while a batch is open.
bool deferPanelRepaint();
