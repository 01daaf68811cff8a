#pragma once

#include <windows.h>

// A list box scrolls sideways only as far as its horizontal extent, which it never works
// out by itself. These keep it at the width of the widest line, measured in the list's own
// font, so that every line can be scrolled into view whole. The list holds the extent; no
// copy of it is kept here. An absent list is ignored. While a command's batch keeps a list
// quiet (list_batch.h), these leave it alone and the batch fits the extent once at its end.

// Pixels a line needs beyond its text: the list draws text a little in from its left edge.
constexpr int LIST_TEXT_MARGIN = 4;

// The pixels a line of the list needs to be read whole.
int listLineWidth(HWND list, const char* text);
// The extent the list's lines need: the width of its widest line, 0 when it is empty.
int listExtentNeeded(HWND list);
// After any change of the list's lines: the extent of its widest line, 0 when it is empty.
// A command changes a list only inside a batch, which fits it once at the end, so measuring
// every line here costs nothing on the roll path.
void fitListExtent(HWND list);
// Makes the measuring context and the width tables of both lists' fonts once the lists have
// their fonts and sizes, so that the first roll does not pay for them (some 20 ms under
// Wine), and gives their horizontal bars the lists' width.
void prepareListMeasuring(HWND resultsList, HWND setupsList);
