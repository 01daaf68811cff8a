#include "window_harness.h"

#include "app/child_controls.h"
#include "app/main_loop.h"
#include "render/back_buffer.h"
#include "render/panel_painter.h"
#include "resources/resource_ids.h"
#include "setups/control_ids.h"
#include "setups/ui_operations.h"

#include <cstring>

namespace {

struct ExpectedControl {
    int id;
    const char* className;
    const char* text;
    DWORD style; // bits that must be set
};

constexpr DWORD CHILD = WS_CHILD | WS_VISIBLE | WS_DLGFRAME;
constexpr DWORD FIELD = CHILD | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD LIST = CHILD | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;

// Creation order, which is also the order of the siblings.
const ExpectedControl EXPECTED_CONTROLS[] = {
    {ID_SIZE, "Edit", "", FIELD},
    {ID_NAME, "Edit", "", FIELD},
    {ID_NUM_DICE, "Edit", "", FIELD},
    {ID_BONUS, "Edit", "0", FIELD},
    {ID_DROP_LOWEST, "Edit", "", FIELD},
    {ID_NUM_ROLLS, "Edit", "1", FIELD},
    {ID_RESULTS_LIST, "ListBox", "", LIST},
    {ID_SETUP_LIST, "ListBox", "", LIST},
    {ID_ROLL, "Button", "Roll Dice!", CHILD | BS_BITMAP},
    {ID_SAVE_SETUP, "Button", "Save Setup", CHILD},
    {ID_DELETE_SETUP, "Button", "Delete Setup", CHILD},
    {ID_UPDATE_SETUP, "Button", "Update Setup", CHILD | BS_MULTILINE},
};

std::string classOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string textOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Every control, the lists included, has exactly the rectangle of the layout table: a list
// must not round its height to whole lines of its font.
void expectControlsInPlace() {
    for (const ControlPlace& place : LAYOUT_TABLE) {
        RECT actual = clientRectOf(control(place.id));
        EXPECT_TRUE(actual.left == place.x && actual.top == place.y &&
                    actual.right - actual.left == place.width &&
                    actual.bottom - actual.top == place.height)
            << "control " << place.id << " at " << actual.left << "," << actual.top << " "
            << actual.right - actual.left << "x" << actual.bottom - actual.top;
    }
}

using MainWindow = MainWindowTest;

TEST(ControlBindings, aListThatDoesNotExistHasNoSelection) {
    // Otherwise delete and update would act on the first saved setup.
    EXPECT_EQ(listSelectedIndex(12345), -1);
}

TEST_F(MainWindow, isAFixedSizeCaptionedWindowOfTheAppClass) {
    EXPECT_EQ(classOf(window), "Tarvo_Dice");
    EXPECT_EQ(textOf(window), "Tarvo Dice");
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetMenu(window), nullptr);

    LONG style = GetWindowLongA(window, GWL_STYLE);
    const LONG wanted = WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    EXPECT_EQ(style & wanted, wanted);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CHILD), 0);
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);

    RECT outer = {};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 320);
    EXPECT_EQ(outer.bottom - outer.top, 480);

    // The client area is the outer size less the frame and caption, and holds every control.
    RECT client = {};
    GetClientRect(window, &client);
    RECT framed = client;
    AdjustWindowRectEx(&framed, static_cast<DWORD>(style), FALSE,
                       static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
    EXPECT_EQ(framed.right - framed.left, 320);
    EXPECT_EQ(framed.bottom - framed.top, 480);
    EXPECT_GE(client.right, 305);
    EXPECT_GE(client.bottom, 400);
    EXPECT_EQ(gBackBuffer.clientRect.right, client.right);
    EXPECT_EQ(gBackBuffer.clientRect.bottom, client.bottom);
}

TEST_F(MainWindow, classHasTheAppIconAWhiteBrushAndRedrawsOnResize) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    ASSERT_TRUE(GetClassInfoA(instance, "Tarvo_Dice", &windowClass));
    EXPECT_EQ(windowClass.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(windowClass.hbrBackground, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(windowClass.lpszMenuName, nullptr);

    ICONINFO icon = {};
    ASSERT_TRUE(GetIconInfo(windowClass.hIcon, &icon));
    BITMAP mask = {};
    GetObjectA(icon.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    if (icon.hbmColor != nullptr) {
        DeleteObject(icon.hbmColor);
    }
    DeleteObject(icon.hbmMask);
}

TEST_F(MainWindow, createsTheTwelveControlsInOrderWithTheirClassesTextsStylesAndPlaces) {
    HWND child = GetWindow(window, GW_CHILD);
    for (const ExpectedControl& expected : EXPECTED_CONTROLS) {
        ASSERT_NE(child, nullptr) << "missing control " << expected.id;
        EXPECT_EQ(GetDlgCtrlID(child), expected.id);
        EXPECT_EQ(child, control(expected.id));
        EXPECT_EQ(lstrcmpiA(classOf(child).c_str(), expected.className), 0)
            << classOf(child) << " for " << expected.id;
        EXPECT_EQ(textOf(child), expected.text);
        DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        EXPECT_EQ(style & expected.style, expected.style) << "control " << expected.id;
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "more than twelve controls";
    expectControlsInPlace();

    // Lists keep insertion order with at most one selection.
    for (int id : {ID_RESULTS_LIST, ID_SETUP_LIST}) {
        LONG style = GetWindowLongA(control(id), GWL_STYLE);
        EXPECT_EQ(style & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL), 0) << id;
    }
}

TEST_F(MainWindow, setupsListUsesTwelvePixelCourierAndOtherControlsTheDefaultFont) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control(ID_SETUP_LIST), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTA description = {};
    ASSERT_NE(GetObjectA(font, sizeof description, &description), 0);
    LOGFONTA asked = {}; // every other field 0
    asked.lfHeight = 12;
    asked.lfWidth = 6;
    lstrcpynA(asked.lfFaceName, "Courier", LF_FACESIZE);
    EXPECT_EQ(std::memcmp(&description, &asked, sizeof asked), 0) << description.lfFaceName;

    for (int id : {ID_RESULTS_LIST, ID_NAME, ID_SAVE_SETUP}) {
        EXPECT_EQ(SendMessageA(control(id), WM_GETFONT, 0, 0), 0) << id;
    }
}

TEST_F(MainWindow, rollButtonShowsItsImage) {
    HBITMAP image =
        reinterpret_cast<HBITMAP>(SendMessageA(control(ID_ROLL), BM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(image, nullptr);
    BITMAP size = {};
    ASSERT_NE(GetObjectA(image, sizeof size, &size), 0);
    EXPECT_EQ(size.bmWidth, 78);
    EXPECT_EQ(size.bmHeight, 16);
}

TEST_F(MainWindow, closingPostsQuitWithCodeZeroAndKeepsTheWindow) {
    SendMessageA(window, WM_CLOSE, 0, 0);
    pumpMessages();
    EXPECT_TRUE(quitWasPosted());
    EXPECT_EQ(lastQuitCode(), 0u);
    EXPECT_TRUE(IsWindow(window));

    forgetQuit();
    // Close from the system menu goes the same way.
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    pumpMessages();
    EXPECT_TRUE(quitWasPosted());
    EXPECT_EQ(lastQuitCode(), 0u);
}

TEST_F(MainWindow, mainLoopEndsOnCloseAfterMatchingTheSurfaceToTheWindow) {
    ShowWindow(window, SW_MINIMIZE);
    PostMessageA(window, WM_CLOSE, 0, 0);
    runMainLoop(window); // returns once the quit message is taken
    EXPECT_EQ(gBackBuffer.clientRect.right, 0);
    EXPECT_EQ(gBackBuffer.clientRect.bottom, 0);
}

TEST_F(MainWindow, minimisingAndRestoringRebuildsTheSurfaceAndLaysTheControlsOutAgain) {
    EXPECT_FALSE(matchSurfaceToWindow(window)) << "nothing to do at the same size";
    RECT full = gBackBuffer.clientRect;

    ShowWindow(window, SW_MINIMIZE);
    pumpMessages();
    MoveWindow(control(ID_SETUP_LIST), 0, 0, 10, 10, TRUE);
    EXPECT_TRUE(matchSurfaceToWindow(window));
    EXPECT_EQ(gBackBuffer.clientRect.right, 0);
    EXPECT_EQ(gBackBuffer.clientRect.bottom, 0);
    EXPECT_NE(gBackBuffer.memoryDC, nullptr);
    expectControlsInPlace();
    redrawPanel(); // copies nothing, harmlessly

    MoveWindow(control(ID_ROLL), 0, 0, 10, 10, TRUE);
    ShowWindow(window, SW_RESTORE);
    pumpMessages();
    EXPECT_TRUE(matchSurfaceToWindow(window));
    EXPECT_EQ(gBackBuffer.clientRect.right, full.right);
    EXPECT_EQ(gBackBuffer.clientRect.bottom, full.bottom);
    expectControlsInPlace();
    EXPECT_FALSE(matchSurfaceToWindow(window));
}

} // namespace
