#include "window_harness.h"

#include "app/list_updates.h"
#include "setups/control_ids.h"
#include "setups/ui_operations.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

// How much wider than its widest line a list may scroll: the few pixels the list draws
// text in from its edge.
constexpr int EXTENT_SLACK = 8;

// The text's width as GDI measures it whole, in the font the list draws with.
int textWidth(HWND list, const std::string& text) {
    HDC dc = GetDC(list);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(list, dc);
    return static_cast<int>(size.cx);
}

int widestLine(int listId) {
    int widest = 0;
    for (const std::string& line : listLines(listId)) {
        int width = textWidth(control(listId), line);
        widest = width > widest ? width : widest;
    }
    return widest;
}

int extentOf(int listId) {
    return static_cast<int>(SendMessageA(control(listId), LB_GETHORIZONTALEXTENT, 0, 0));
}

int clientWidthOf(int listId) {
    RECT client = {};
    GetClientRect(control(listId), &client);
    return client.right;
}

// The list scrolls far enough to show its widest line whole, and not much further.
void expectExtentFitsTheWidestLine(int listId) {
    int widest = widestLine(listId);
    int extent = extentOf(listId);
    EXPECT_GE(extent, widest) << "list " << listId << " cannot show its widest line whole";
    EXPECT_LE(extent, widest + EXTENT_SLACK) << "list " << listId << " scrolls past its lines";
}

using ListExtent = MainWindowTest;

TEST_F(ListExtent, everyTotalOfTheLargestRollCanBeScrolledIntoView) {
    typeText(ID_NUM_DICE, "99999");
    typeText(ID_SIZE, "2147483647");
    replaceText(ID_NUM_ROLLS, "4");
    clickButton(ID_ROLL);
    std::vector<std::string> totals = listLines(ID_RESULTS_LIST);
    ASSERT_EQ(totals.size(), 4u);
    for (const std::string& total : totals) {
        int64_t value = std::stoll(total);
        EXPECT_GT(value, int64_t{INT32_MAX}) << "not a 64-bit total";
        EXPECT_LE(value, int64_t{99999} * INT32_MAX);
    }
    expectExtentFitsTheWidestLine(ID_RESULTS_LIST);
    EXPECT_GT(extentOf(ID_RESULTS_LIST), clientWidthOf(ID_RESULTS_LIST)) << "nothing to scroll";
    // The press holds the list from redrawing; afterwards the list is shown again and its
    // scroll bars know every line.
    EXPECT_TRUE(IsWindowVisible(control(ID_RESULTS_LIST)));
    EXPECT_TRUE(IsWindowVisible(control(ID_SETUP_LIST)));
    SCROLLINFO vertical = {sizeof vertical, SIF_RANGE, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(control(ID_RESULTS_LIST), SB_VERT, &vertical));
    EXPECT_EQ(vertical.nMax, 3);

    // The next roll empties the list: short totals leave nothing to scroll.
    replaceText(ID_NUM_DICE, "1");
    replaceText(ID_SIZE, "6");
    clickButton(ID_ROLL);
    expectExtentFitsTheWidestLine(ID_RESULTS_LIST);
    EXPECT_LE(extentOf(ID_RESULTS_LIST), clientWidthOf(ID_RESULTS_LIST));
}

// Random appends, inserts, deletes and clears on both lists, through the operations the
// roll-setup logic uses, each step ended as a command ends, checked against a plain vector
// of lines after every step. The lines hold any 8-bit character (a name may be pasted).
TEST_F(ListExtent, followsTheWidestLineThroughAddsInsertsDeletesAndClears) {
    std::mt19937 random(7);
    for (int listId : {ID_RESULTS_LIST, ID_SETUP_LIST}) {
        std::vector<std::string> model;
        for (int step = 0; step < 150; ++step) {
            int choice = static_cast<int>(random() % 16);
            int length = static_cast<int>(random() % 4 == 0 ? random() % 400 : random() % 30);
            std::string text(static_cast<size_t>(length), ' ');
            for (char& c : text) {
                c = static_cast<char>(1 + random() % 255);
            }
            int count = static_cast<int>(model.size());
            if (choice == 0) {
                listClear(listId);
                model.clear();
            } else if (choice < 6 && count > 0) {
                int index = static_cast<int>(random() % static_cast<unsigned>(count));
                listDelete(listId, index);
                model.erase(model.begin() + index);
            } else if (choice < 9) {
                int index = static_cast<int>(random() % static_cast<unsigned>(count + 1));
                listInsert(listId, index, text.c_str());
                model.insert(model.begin() + index, text);
            } else if (count < 60) {
                listAppend(listId, text.c_str());
                model.push_back(text);
            }
            showHeldLists();
            ASSERT_EQ(listLines(listId), model) << "step " << step;
            expectExtentFitsTheWidestLine(listId);
            if (::testing::Test::HasFailure()) {
                FAIL() << "list " << listId << ", step " << step;
            }
        }
    }
}

// A repaint of the frame that was already due when a press came (as when a window that
// covered only the bars goes away) still happens: no stale pixel is left on the list.
TEST_F(ListExtent, aPressStillRepaintsAFrameThatWasAlreadyDue) {
    typeText(ID_NUM_DICE, "1");
    typeText(ID_SIZE, "6");
    replaceText(ID_NUM_ROLLS, "40");
    clickButton(ID_ROLL);
    // The vertical bar, beside the client area, shows stale pixels and is due for a repaint;
    // the lines are not.
    HWND list = control(ID_RESULTS_LIST);
    RECT client = {};
    GetClientRect(list, &client);
    RECT bar = {client.right, 0, client.right + GetSystemMetrics(SM_CXVSCROLL), client.bottom};
    RECT place = {};
    GetWindowRect(list, &place);
    POINT origin = {0, 0};
    ClientToScreen(list, &origin);
    RECT barInWindow = bar;
    OffsetRect(&barInWindow, origin.x - place.left, origin.y - place.top);
    constexpr COLORREF STALE = RGB(255, 0, 255);
    HDC dc = GetWindowDC(list);
    HBRUSH stale = CreateSolidBrush(STALE);
    FillRect(dc, &barInWindow, stale);
    DeleteObject(stale);
    RedrawWindow(list, &bar, nullptr, RDW_INVALIDATE | RDW_FRAME);

    clickButton(ID_ROLL); // handled before the waiting repaint, as a click is
    int stalePixels = 0;
    for (int y = barInWindow.top; y < barInWindow.bottom; ++y) {
        for (int x = barInWindow.left; x < barInWindow.right; ++x) {
            stalePixels += GetPixel(dc, x, y) == STALE ? 1 : 0;
        }
    }
    ReleaseDC(list, dc);
    EXPECT_EQ(stalePixels, 0);
}
} // namespace
