#include "tests/setups/fake_ui.h"

#include "setups/control_ids.h"
#include "setups/roll_setup.h"
#include "setups/ui_operations.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

FakeUi gFakeUi;

void resetFakeUi() {
    gFakeUi = FakeUi{};
}

static int fieldIndex(int fieldId) {
    switch (fieldId) {
    case ID_NAME:
        return 0;
    case ID_NUM_DICE:
        return 1;
    case ID_SIZE:
        return 2;
    case ID_BONUS:
        return 3;
    case ID_DROP_LOWEST:
        return 4;
    case ID_NUM_ROLLS:
        return 5;
    default:
        return -1;
    }
}

std::string& fakeField(int fieldId) {
    static std::string nowhere;
    const int index = fieldIndex(fieldId);
    if (index < 0) {
        ADD_FAILURE() << "no edit field has id " << fieldId;
        nowhere.clear();
        return nowhere;
    }
    return gFakeUi.fields[index];
}

FakeList& fakeList(int listId) {
    static FakeList nowhere;
    if (listId == ID_RESULTS_LIST) {
        return gFakeUi.results;
    }
    if (listId == ID_SETUP_LIST) {
        return gFakeUi.setups;
    }
    ADD_FAILURE() << "no list box has id " << listId;
    nowhere = FakeList{};
    return nowhere;
}

void typeInto(int fieldId, const std::string& keys) {
    for (char key : keys) {
        std::string& text = fakeField(fieldId);
        if (key == '\b') {
            if (!text.empty()) {
                text.pop_back();
            }
        } else {
            text.push_back(key);
        }
        onFieldChanged(fieldId);
    }
}

void clearByKeyboard(int fieldId) {
    fakeField(fieldId).clear();
    onFieldChanged(fieldId);
}

// The operations the roll-setup logic calls.

void listClear(int listId) {
    fakeList(listId) = FakeList{};
}

void listAppend(int listId, const char* text) {
    fakeList(listId).lines.push_back(text);
}

void listInsert(int listId, int index, const char* text) {
    FakeList& list = fakeList(listId);
    const int count = static_cast<int>(list.lines.size());
    if (index == -1) {
        index = count; // like LB_INSERTSTRING: -1 appends
    }
    if (index < 0 || index > count) {
        return; // LB_ERR, nothing changes
    }
    list.lines.insert(list.lines.begin() + index, text);
    if (list.selected >= 0 && index <= list.selected) {
        list.selected += 1;
    }
}

void listDelete(int listId, int index) {
    FakeList& list = fakeList(listId);
    if (index < 0 || index >= static_cast<int>(list.lines.size())) {
        return; // LB_ERR, nothing changes
    }
    list.lines.erase(list.lines.begin() + index);
    if (index == list.selected) {
        list.selected = -1;
    } else if (index < list.selected) {
        list.selected -= 1;
    }
}

int listSelectedIndex(int listId) {
    return fakeList(listId).selected;
}

void listSelect(int listId, int index) {
    FakeList& list = fakeList(listId);
    list.selected = index >= 0 && index < static_cast<int>(list.lines.size()) ? index : -1;
}

void fieldGetText(int fieldId, char* buffer) {
    const std::string& text = fakeField(fieldId);
    const size_t length = std::min(text.size(), static_cast<size_t>(FIELD_TEXT_MAX));
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

void fieldSetText(int fieldId, const char* text) {
    gFakeUi.fieldSetCount += 1;
    if (gFakeUi.fieldDepth >= FAKE_MAX_FIELD_DEPTH) {
        ADD_FAILURE() << "setting field " << fieldId << " recursed deeper than "
                      << FAKE_MAX_FIELD_DEPTH << " levels";
        return;
    }
    if (!gFakeUi.fieldsRefuseText) {
        fakeField(fieldId) = text != nullptr ? text : "";
    }
    gFakeUi.fieldDepth += 1;
    gFakeUi.maxFieldDepth = std::max(gFakeUi.maxFieldDepth, gFakeUi.fieldDepth);
    onFieldChanged(fieldId); // EN_CHANGE arrives before the text-setting call returns
    gFakeUi.fieldDepth -= 1;
}

void redrawPanel() {
    gFakeUi.repaintCount += 1;
}
