#pragma once

#include <string>
#include <vector>

// An in-memory stand-in for the two list boxes, the six edit fields and the panel painter,
// behaving as the real controls do:
// - appending a line leaves the selection alone;
// - inserting at or before the selected line moves the selection with its line;
// - deleting the selected line leaves none selected, deleting a line above it moves it up;
// - selecting an index out of range leaves none selected;
// - setting a field's text calls onFieldChanged for it before returning, even when the text
//   did not change, and a field hands back at most 2047 characters.

constexpr int FAKE_MAX_FIELD_DEPTH = 64;

struct FakeList {
    std::vector<std::string> lines;
    int selected = -1;
};

struct FakeUi {
    FakeList results;
    FakeList setups;
    std::string fields[6];
    int repaintCount = 0;
    int fieldDepth = 0;            // fieldSetText calls currently running
    int maxFieldDepth = 0;         // deepest nesting seen
    int fieldSetCount = 0;         // fieldSetText calls made by the code under test
    bool fieldsRefuseText = false; // setting a field notifies but keeps the old text
};

extern FakeUi gFakeUi;

// Empty lists, empty fields, no repaint counted.
void resetFakeUi();

// The stored text of a field (whole, not capped).
std::string& fakeField(int fieldId);
FakeList& fakeList(int listId);

// Keyboard input: each character is added at the end of the field's text, '\b' removes the
// last one; after each key the field reports a change, as EN_CHANGE does.
void typeInto(int fieldId, const std::string& keys);
// Selects everything in the field and deletes it, one change.
void clearByKeyboard(int fieldId);
