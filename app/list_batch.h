#pragma once

#include <windows.h>

// A command may change a hundred lines at once, and Wine's list box brings its scroll bars up
// to date and repaints them on every line it gains or loses: a hundred repaints of bars that
// keep changing size, at milliseconds each. So each command runs as one batch: a list it
// changes stops redrawing (WM_SETREDRAW) from its first change to the end of the command, its
// horizontal extent is worked out once at the end instead of line by line, and it is then
// drawn once, before the command returns. Its scroll bars are redrawn only when the command
// changed them, or when they cost little to draw (see list_batch.cpp).

void beginListBatch();
void endListBatch();
// Before a list's lines change: stops the list redrawing for the rest of an open batch.
void quietListForBatch(HWND list);
// True while the list is quiet in an open batch, so its extent is left for the batch's end.
bool listExtentDeferred(HWND list);
