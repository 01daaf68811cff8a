// The probe's commands about the main window itself: where it and its caption buttons are,
// its child controls' rectangles, an open popup menu, and how long it takes to answer (see
// probe.cpp for the command line).
#include "tests/e2e/probe.h"

#include <cstdio>

namespace {

const char* const WINDOW_CLASS = "Tarvo_Dice";

// A caption button is found by asking the window itself what each point of its caption row
// is, so the answer does not depend on the theme's metrics.
bool findCaptionButton(HWND window, const RECT& frame, int clientTop, LRESULT part, POINT* centre) {
    int row = (frame.top + clientTop) / 2;
    int left = -1;
    int right = -1;
    for (int x = frame.left; x < frame.right; ++x) {
        if (SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, row)) == part) {
            left = left < 0 ? x : left;
            right = x;
        } else if (right >= 0) {
            break;
        }
    }
    if (right < 0) {
        return false;
    }
    centre->x = (left + right) / 2;
    int top = row;
    int bottom = row;
    while (top > frame.top &&
           SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(centre->x, top - 1)) == part) {
        --top;
    }
    while (bottom < clientTop &&
           SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(centre->x, bottom + 1)) == part) {
        ++bottom;
    }
    centre->y = (top + bottom) / 2;
    return true;
}

BOOL CALLBACK printRect(HWND child, LPARAM mainWindow) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, reinterpret_cast<HWND>(mainWindow), reinterpret_cast<POINT*>(&rect),
                    2);
    std::printf("rect %d %ld %ld %ld %ld\n", GetDlgCtrlID(child), rect.left, rect.top,
                rect.right - rect.left, rect.bottom - rect.top);
    return TRUE;
}

} // namespace

int waitWindow(DWORD timeoutMs) {
    DWORD start = GetTickCount();
    HWND window = findMainWindow();
    while (window == nullptr && GetTickCount() - start < timeoutMs) {
        Sleep(POLL_INTERVAL_MS);
        window = findMainWindow();
    }
    if (window == nullptr) {
        std::fprintf(stderr, "probe: no visible %s window after %lu ms\n", WINDOW_CLASS,
                     static_cast<unsigned long>(timeoutMs));
        return 1;
    }
    RECT frame;
    RECT client;
    POINT origin = {0, 0};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    ClientToScreen(window, &origin);
    std::printf("client %ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
    std::printf("window %ld %ld %ld %ld\n", frame.left, frame.top, frame.right, frame.bottom);
    std::printf("iconic %d\n", IsIconic(window) ? 1 : 0);
    if (IsIconic(window)) {
        return 0; // a minimised window shows no caption buttons to click
    }
    const struct {
        const char* name;
        LRESULT part;
    } buttons[] = {{"close", HTCLOSE}, {"minimise", HTMINBUTTON}, {"sysmenu", HTSYSMENU}};
    for (const auto& button : buttons) {
        POINT centre;
        if (findCaptionButton(window, frame, origin.y, button.part, &centre)) {
            std::printf("%s %ld %ld\n", button.name, centre.x, centre.y);
        }
    }
    return 0;
}

int rectsCommand() {
    HWND window = findMainWindow();
    if (window == nullptr) {
        return 1;
    }
    EnumChildWindows(window, printRect, reinterpret_cast<LPARAM>(window));
    return 0;
}

int popupCommand() {
    HWND menu = FindWindowA("#32768", nullptr);
    RECT rect;
    if (menu == nullptr || !IsWindowVisible(menu) || !GetWindowRect(menu, &rect)) {
        return 1;
    }
    std::printf("popup %ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    return 0;
}

int stallCommand(DWORD timeoutMs) {
    HWND window = findMainWindow();
    if (window == nullptr) {
        return 1;
    }
    DWORD start = GetTickCount();
    DWORD longest = 0;
    while (GetTickCount() - start < timeoutMs) {
        DWORD sent = GetTickCount();
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &answer) == 0) {
            break; // the program has ended
        }
        DWORD waited = GetTickCount() - sent;
        longest = waited > longest ? waited : longest;
        Sleep(1);
    }
    std::printf("stall %lu\n", static_cast<unsigned long>(longest));
    return 0;
}

HWND findMainWindow() {
    HWND window = FindWindowA(WINDOW_CLASS, nullptr);
    return (window != nullptr && IsWindowVisible(window)) ? window : nullptr;
}
