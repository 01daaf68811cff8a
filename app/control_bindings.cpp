// The list and field operations of the roll-setup logic, over the real controls. The panel
// operation is the painter's own redrawPanel.
#include "setups/ui_operations.h"

#include "app/child_controls.h"
#include "app/list_updates.h"

namespace {

// Every change of a list's lines: the list is held from redrawing until the command ends.
void changeList(int listId, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND list = controlWindow(listId);
    holdListRedraw(list);
    SendMessageA(list, message, wParam, lParam);
}

} // namespace

void listClear(int listId) {
    changeList(listId, LB_RESETCONTENT, 0, 0);
}

void listAppend(int listId, const char* text) {
    changeList(listId, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void listInsert(int listId, int index, const char* text) {
    changeList(listId, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
}

void listDelete(int listId, int index) {
    changeList(listId, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

int listSelectedIndex(int listId) {
    HWND list = controlWindow(listId);
    if (list == nullptr) {
        return -1; // an absent list has nothing selected
    }
    // The result is read as a signed 16-bit value, so LB_ERR comes back as -1.
    int index = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0) & 0xFFFF);
    return index >= 0x8000 ? index - 0x10000 : index;
}

void listSelect(int listId, int index) {
    SendMessageA(controlWindow(listId), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void fieldGetText(int fieldId, char* buffer) {
    buffer[0] = '\0';
    GetWindowTextA(controlWindow(fieldId), buffer, FIELD_TEXT_MAX + 1);
}

void fieldSetText(int fieldId, const char* text) {
    // An empty text goes as a null pointer, which clears the field.
    const char* sent = (text == nullptr || text[0] == '\0') ? nullptr : text;
    SendMessageA(controlWindow(fieldId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(sent));
}
