#pragma once

#include <windows.h>

// A command may change a hundred lines of a list at once. A list it changes stops redrawing
// from the command's first change to it until the command ends; then its horizontal extent is
// set to its widest line, so that every line can be scrolled into view whole (a list box never
// works that out by itself), and it is redrawn once, frame and scroll bars included.

// Before a change to the list's lines. An absent list is ignored.
void holdListRedraw(HWND list);
// At the end of a command: fits, redraws and lets go of every list held since it began.
void showHeldLists();
