#pragma once

// The only way the roll-setup logic reaches the two list boxes, the six edit fields and
// the panel painter. The window (app/) defines these over the real controls; the tests
// define them over an in-memory double that behaves like the controls do:
// - appending a line leaves the selection alone;
// - inserting a line at or before the selected line moves the selection with that line;
// - deleting the selected line leaves no line selected;
// - setting a field's text calls onFieldChanged for that field again at once, before
//   fieldSetText returns, also when the text did not change.

// Longest text a field hands back, without its terminating zero.
constexpr int FIELD_TEXT_MAX = 2047;

void listClear(int listId);
void listAppend(int listId, const char* text);
void listInsert(int listId, int index, const char* text);
void listDelete(int listId, int index);
// -1 when no line is selected.
int listSelectedIndex(int listId);
void listSelect(int listId, int index);

// Copies at most FIELD_TEXT_MAX characters of the field's text into buffer, which holds
// FIELD_TEXT_MAX + 1 bytes, and terminates it.
void fieldGetText(int fieldId, char* buffer);
// An empty text clears the field.
void fieldSetText(int fieldId, const char* text);

void redrawPanel();
