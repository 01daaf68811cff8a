#include "window_harness.h"

#include "app/child_controls.h"
#include "app/startup.h"
#include "dice/random_source.h"
#include "render/back_buffer.h"
#include "setups/roll_setup.h"

namespace {

bool gQuitPosted;
WPARAM gQuitCode;

void ensureWindowClass() {
    static bool registered = false;
    if (!registered) {
        gInstance = GetModuleHandleA(nullptr);
        registered = registerWindowClass(gInstance);
    }
}

LPARAM lineCentre(HWND list, int index) {
    RECT line = {};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&line));
    return MAKELPARAM((line.left + line.right) / 2, (line.top + line.bottom) / 2);
}

} // namespace

void MainWindowTest::SetUp() {
    ensureWindowClass();
    gSetups.savedCount = 0; // initialiseApp resets the entries but not the count
    seedRandomFromTime(20240101);
    window = createMainWindow(gInstance);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(initialiseApp(window));
    pumpMessages();
    forgetQuit();
}

void MainWindowTest::TearDown() {
    gBackBuffer.release();
    if (window != nullptr) {
        DestroyWindow(window); // posts a quit message, drained here
    }
    pumpMessages();
    forgetQuit();
}

HWND control(int controlId) {
    return controlWindow(controlId);
}

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            gQuitPosted = true;
            gQuitCode = message.wParam;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool quitWasPosted() {
    return gQuitPosted;
}

WPARAM lastQuitCode() {
    return gQuitCode;
}

void forgetQuit() {
    gQuitPosted = false;
    gQuitCode = 0;
}

void typeText(int fieldId, const char* text) {
    HWND field = control(fieldId);
    SetFocus(field);
    for (const char* p = text; *p != '\0'; ++p) {
        SendMessageA(field, WM_CHAR, static_cast<unsigned char>(*p), 1);
        pumpMessages();
    }
}

void clearField(int fieldId) {
    HWND field = control(fieldId);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
    SendMessageA(field, WM_CHAR, VK_BACK, 1);
    pumpMessages();
}

void replaceText(int fieldId, const char* text) {
    clearField(fieldId);
    typeText(fieldId, text);
}

std::string fieldText(int fieldId) {
    char text[4096] = {};
    GetWindowTextA(control(fieldId), text, sizeof text);
    return text;
}

void clickButton(int buttonId) {
    SendMessageA(control(buttonId), BM_CLICK, 0, 0);
    pumpMessages();
}

void clickLine(int listId, int index) {
    HWND list = control(listId);
    LPARAM at = lineCentre(list, index);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    pumpMessages();
}

void doubleClickLine(int listId, int index) {
    HWND list = control(listId);
    LPARAM at = lineCentre(list, index);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    pumpMessages();
}

std::vector<std::string> listLines(int listId) {
    HWND list = control(listId);
    std::vector<std::string> lines;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        int length = static_cast<int>(SendMessageA(list, LB_GETTEXTLEN, i, 0));
        std::string line(static_cast<size_t>(length) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&line[0]));
        line.resize(static_cast<size_t>(length));
        lines.push_back(line);
    }
    return lines;
}

int listSelection(int listId) {
    return static_cast<int>(SendMessageA(control(listId), LB_GETCURSEL, 0, 0));
}

RECT clientRectOf(HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
