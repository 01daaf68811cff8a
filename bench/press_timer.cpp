// Console helper for scripts/measure-press.sh: times roll-button presses of the running dice
// roller from outside its process, and the same evaluations in the engine alone.
//   press_timer PRESSES COUNT FACES DROP
// It first puts COUNT, FACES, DROP, bonus 0 and roll count 100 into the fields (WM_SETTEXT,
// which the program parses like typed text). Each press is a real mouse click (SendInput) on
// the roll button; its time runs from the click until the results list holds 100 new lines
// and has drawn them. The list answers another process only between the messages of its own
// thread, so that is when the press has been handled; the list has drawn itself once nothing
// of it is left to paint. After each press the same 100 evaluations are timed in the engine
// alone, in this process.
// Exit code: 0 on success, 1 when the window is missing or a press did not finish.
#include "bench/press_clock.h"
#include "dice/random_source.h"
#include "setups/control_ids.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <vector>

namespace {

constexpr LPARAM OLD_LINE_MARK = 1; // item data of a line from an earlier press
constexpr double PRESS_TIMEOUT_MS = 30000;

LRESULT ask(HWND list, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(list, message, wParam, lParam);
}

void click(POINT at) {
    // A real move onto the button first, so the click goes to the window now under the
    // pointer even when the pointer was already there (over an earlier run's window).
    SetCursorPos(at.x - 20, at.y);
    Sleep(30);
    SetCursorPos(at.x, at.y);
    Sleep(100); // the move and every earlier repaint are handled before the clock starts
    INPUT input[2] = {};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

// Marks the line the press must replace, clicks, and waits until that line is there and
// unmarked, and then until the list has no part left to paint. A single question to the
// program per look: it answers only between its messages, so a second question could find it
// gone idle and wait out its 1 ms sleep (the update region is the window system's, not a
// question). Only that line is marked: a marked line costs the list a WM_DELETEITEM when it
// goes. False when the press did not finish in time.
bool timePress(HWND list, POINT button, double* took) {
    const WPARAM watched = PRESS_ROLLS - 1;
    ask(list, LB_SETITEMDATA, watched, OLD_LINE_MARK); // fails harmlessly on a shorter list
    click(button);
    double start = nowMs();
    bool replaced = false;
    for (;;) {
        if (!replaced) {
            LRESULT mark = ask(list, LB_GETITEMDATA, watched);
            replaced = mark != LB_ERR && mark != OLD_LINE_MARK;
        }
        if (replaced && !GetUpdateRect(list, nullptr, FALSE)) {
            break;
        }
        if (nowMs() - start > PRESS_TIMEOUT_MS) {
            std::fprintf(stderr, "press_timer: the list holds %d lines\n",
                         static_cast<int>(ask(list, LB_GETCOUNT)));
            return false;
        }
    }
    *took = nowMs() - start;
    return ask(list, LB_GETCOUNT) == PRESS_ROLLS;
}

// Wide messages: the ANSI forms come back cut short across processes.
bool setField(HWND window, int id, const char* text) {
    HWND field = GetDlgItem(window, id);
    wchar_t wanted[64] = {};
    wchar_t shown[64] = {};
    MultiByteToWideChar(CP_ACP, 0, text, -1, wanted, 63);
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wanted));
    SendMessageW(field, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(shown));
    if (field == nullptr || std::wcscmp(shown, wanted) != 0) {
        std::fprintf(stderr, "press_timer: field %d does not show %s\n", id, text);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fputs("usage: press_timer PRESSES COUNT FACES DROP\n", stderr);
        return 2;
    }
    const int presses = std::atoi(argv[1]);
    const auto count = static_cast<int32_t>(std::atol(argv[2]));
    const auto faces = static_cast<int32_t>(std::atol(argv[3]));
    const auto drop = static_cast<int32_t>(std::atol(argv[4]));
    HWND window = FindWindowA("Tarvo_Dice", nullptr);
    HWND list = window != nullptr ? GetDlgItem(window, ID_RESULTS_LIST) : nullptr;
    HWND button = window != nullptr ? GetDlgItem(window, ID_ROLL) : nullptr;
    if (list == nullptr || button == nullptr || presses < 1) {
        std::fputs("press_timer: no dice roller window\n", stderr);
        return 1;
    }
    if (!setField(window, ID_NUM_DICE, argv[2]) || !setField(window, ID_SIZE, argv[3]) ||
        !setField(window, ID_DROP_LOWEST, argv[4]) || !setField(window, ID_BONUS, "0") ||
        !setField(window, ID_NUM_ROLLS, "100")) {
        return 1;
    }
    RECT place;
    GetWindowRect(button, &place);
    POINT centre = {(place.left + place.right) / 2, (place.top + place.bottom) / 2};

    seedRandomFromTime(20240101);
    std::vector<double> beyond;
    for (int press = 0; press < presses; ++press) {
        double took = 0;
        if (!timePress(list, centre, &took)) {
            std::fprintf(stderr, "press_timer: press %d did not finish\n", press + 1);
            return 1;
        }
        double engine = engineMs(count, faces, drop);
        beyond.push_back(took - engine);
        std::printf("press %2d: %8.2f ms from the click to 100 lines, engine alone %8.2f ms,"
                    " beyond the engine %8.2f ms\n",
                    press + 1, took, engine, took - engine);
    }
    std::printf("beyond the engine: first press %.2f ms", beyond.front());
    if (beyond.size() > 1) {
        std::vector<double> later(beyond.begin() + 1, beyond.end());
        std::sort(later.begin(), later.end());
        std::printf(", later presses %.2f ms median, %.2f ms least", later[later.size() / 2],
                    later.front());
    }
    std::printf("\n");
    return 0;
}
