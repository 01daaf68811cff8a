#include "app/child_controls.h"

#include "resources/resource_ids.h"
#include "setups/control_ids.h"
#include "setups/ui_operations.h"

namespace {

struct ControlDescription {
    const char* className;
    const char* text;
    DWORD style;
    int id;
};

// A field scrolls as the user types, so any digit string and a name of full length fit.
// The lists are neither sorted nor multi-selection, and keep exactly the height of the
// layout table instead of rounding it to whole lines of their font.
constexpr DWORD FIELD_STYLE = WS_CHILD | WS_VISIBLE | WS_DLGFRAME | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD LIST_STYLE = WS_CHILD | WS_VISIBLE | WS_DLGFRAME | WS_VSCROLL | WS_HSCROLL |
                             LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
constexpr DWORD BUTTON_STYLE = WS_CHILD | WS_VISIBLE | WS_DLGFRAME;

// Creation order.
const ControlDescription CONTROL_TABLE[CONTROL_COUNT] = {
    {"Edit", "", FIELD_STYLE, ID_SIZE},
    {"Edit", "", FIELD_STYLE, ID_NAME},
    {"Edit", "", FIELD_STYLE, ID_NUM_DICE},
    {"Edit", "", FIELD_STYLE, ID_BONUS},
    {"Edit", "", FIELD_STYLE, ID_DROP_LOWEST},
    {"Edit", "", FIELD_STYLE, ID_NUM_ROLLS},
    {"Listbox", "", LIST_STYLE, ID_RESULTS_LIST},
    {"Listbox", "", LIST_STYLE, ID_SETUP_LIST},
    {"Button", "Roll Dice!", BUTTON_STYLE | BS_BITMAP, ID_ROLL},
    {"Button", "Save Setup", BUTTON_STYLE, ID_SAVE_SETUP},
    {"Button", "Delete Setup", BUTTON_STYLE, ID_DELETE_SETUP},
    {"Button", "Update Setup", BUTTON_STYLE | BS_MULTILINE, ID_UPDATE_SETUP},
};

} // namespace

const ControlPlace LAYOUT_TABLE[CONTROL_COUNT] = {
    {ID_ROLL, 5, 30, 100, 30},           {ID_SAVE_SETUP, 105, 30, 100, 30},
    {ID_DELETE_SETUP, 205, 30, 100, 30}, {ID_UPDATE_SETUP, 245, 60, 60, 50},
    {ID_NAME, 50, 5, 200, 25},           {ID_NUM_DICE, 90, 100, 40, 25},
    {ID_SIZE, 175, 100, 40, 25},         {ID_BONUS, 90, 165, 40, 25},
    {ID_NUM_ROLLS, 175, 165, 40, 25},    {ID_DROP_LOWEST, 260, 165, 40, 25},
    {ID_RESULTS_LIST, 5, 80, 70, 120},   {ID_SETUP_LIST, 5, 200, 300, 200},
};

namespace {

// Handles in CONTROL_TABLE order, for the whole run.
HWND gControlWindows[CONTROL_COUNT];

// Loaded once and kept for the whole run.
HFONT gSetupListFont;
HBITMAP gRollButtonImage;

HFONT setupListFont() {
    if (gSetupListFont == nullptr) {
        LOGFONTA font = setupListFontRequest();
        gSetupListFont = CreateFontIndirectA(&font);
    }
    return gSetupListFont;
}

HBITMAP rollButtonImage(HINSTANCE instance) {
    if (gRollButtonImage == nullptr) {
        // Device-independent bits rather than LoadBitmapA's device bitmap: under Wine the
        // button draws them faster (bench/press_bench.cpp), and a press draws it at
        // least twice, pressed and released.
        gRollButtonImage = static_cast<HBITMAP>(LoadImageA(
            instance, MAKEINTRESOURCEA(IDB_ROLL_BUTTON), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    }
    return gRollButtonImage;
}

} // namespace

LOGFONTA setupListFontRequest() {
    LOGFONTA font = {};
    font.lfHeight = 12;
    font.lfWidth = 6;
    lstrcpynA(font.lfFaceName, "Courier", LF_FACESIZE);
    return font;
}

void createControls(HWND mainWindow, HINSTANCE instance) {
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        const ControlDescription& control = CONTROL_TABLE[i];
        // The position and size are placeholders; layoutControls replaces them.
        gControlWindows[i] = CreateWindowExA(
            0, control.className, control.text, control.style, CW_USEDEFAULT, CW_USEDEFAULT,
            CW_USEDEFAULT, CW_USEDEFAULT, mainWindow,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
        if (control.style == FIELD_STYLE) {
            // The field handler reads at most this much, so the field shows what is stored.
            SendMessageA(gControlWindows[i], EM_SETLIMITTEXT, FIELD_TEXT_MAX, 0);
        }
    }
}

void setControlFontAndImage(HINSTANCE instance) {
    HFONT font = setupListFont();
    HBITMAP image = rollButtonImage(instance);
    SendMessageA(controlWindow(ID_ROLL), BM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(image));
    SendMessageA(controlWindow(ID_SETUP_LIST), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void layoutControls() {
    for (const ControlPlace& place : LAYOUT_TABLE) {
        HWND control = controlWindow(place.id);
        if (control != nullptr) {
            MoveWindow(control, place.x, place.y, place.width, place.height, TRUE);
        }
    }
}

HWND controlWindow(int controlId) {
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        if (CONTROL_TABLE[i].id == controlId) {
            return gControlWindows[i];
        }
    }
    return nullptr;
}
