// Console helper for the end-to-end test: finds the running dice roller's main window and
// reads its controls from outside the process, as a user would see them.
//   probe wait-window TIMEOUT_MS          where the window, its client area and close box are
//   probe list ID                         the lines of a list box, one per output line
//   probe wait-list ID COUNT TIMEOUT_MS   waits until a list box holds COUNT lines, then lists it
//   probe text ID...                      the text of each control, one per output line
//   probe selected ID                     the selected line of a list box (-1 when none)
// Exit code: 0 on success, 1 when the window or control is missing or the wait timed out,
// 2 on a usage error.
//
// Texts are read with the wide messages: the ANSI forms come back cut to one character when
// the control belongs to another process. They are printed as UTF-8.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* const WINDOW_CLASS = "Tarvo_Dice";
const DWORD POLL_INTERVAL_MS = 50;
const int TEXT_CAPACITY = 4096; // a setup line is at most 2084 characters

int usage() {
    std::fputs("usage: probe wait-window TIMEOUT_MS | list ID | wait-list ID COUNT TIMEOUT_MS"
               " | text ID... | selected ID\n",
               stderr);
    return 2;
}

bool parseNumber(const char* text, long* value) {
    char* end = nullptr;
    *value = std::strtol(text, &end, 10);
    return end != text && *end == '\0';
}

HWND findMainWindow() {
    HWND window = FindWindowA(WINDOW_CLASS, nullptr);
    return (window != nullptr && IsWindowVisible(window)) ? window : nullptr;
}

HWND findControl(long id) {
    HWND window = findMainWindow();
    if (window == nullptr) {
        std::fprintf(stderr, "probe: no visible %s window\n", WINDOW_CLASS);
        return nullptr;
    }
    HWND control = GetDlgItem(window, static_cast<int>(id));
    if (control == nullptr) {
        std::fprintf(stderr, "probe: no control %ld\n", id);
    }
    return control;
}

void printWide(const wchar_t* text) {
    char utf8[TEXT_CAPACITY * 3];
    int written = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    if (written == 0) {
        utf8[0] = '\0';
    }
    std::printf("%s\n", utf8);
}

// The close box is found by asking the window itself what each point of its caption row is,
// so the answer does not depend on the theme's metrics.
bool findCloseBox(HWND window, const RECT& frame, int clientTop, POINT* centre) {
    int row = (frame.top + clientTop) / 2;
    int right = -1;
    int left = -1;
    for (int x = frame.right - 1; x > frame.left && x > frame.right - 80; --x) {
        LRESULT hit = SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, row));
        if (hit == HTCLOSE) {
            if (right < 0) {
                right = x;
            }
            left = x;
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
           SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(centre->x, top - 1)) == HTCLOSE) {
        --top;
    }
    while (bottom < clientTop &&
           SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(centre->x, bottom + 1)) == HTCLOSE) {
        ++bottom;
    }
    centre->y = (top + bottom) / 2;
    return true;
}

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
    POINT closeBox;
    if (findCloseBox(window, frame, origin.y, &closeBox)) {
        std::printf("close %ld %ld\n", closeBox.x, closeBox.y);
    }
    return 0;
}

// Prints every line of the list box; returns the number of lines, or -1 when it has none
// to read.
int printList(HWND list) {
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    if (count == LB_ERR) {
        return -1;
    }
    wchar_t line[TEXT_CAPACITY];
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        if (length == LB_ERR || length >= TEXT_CAPACITY) {
            printWide(L"<unreadable line>");
            continue;
        }
        LRESULT got = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
        line[got == LB_ERR ? 0 : got] = L'\0';
        printWide(line);
    }
    return static_cast<int>(count);
}

int listCommand(long id) {
    HWND list = findControl(id);
    return (list != nullptr && printList(list) >= 0) ? 0 : 1;
}

int waitListCommand(long id, long wanted, DWORD timeoutMs) {
    HWND list = findControl(id);
    if (list == nullptr) {
        return 1;
    }
    DWORD start = GetTickCount();
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    while (count != wanted && GetTickCount() - start < timeoutMs) {
        Sleep(POLL_INTERVAL_MS);
        count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    }
    int printed = printList(list);
    if (printed != wanted) {
        std::fprintf(stderr, "probe: list %ld holds %d lines, not %ld, after %lu ms\n", id, printed,
                     wanted, static_cast<unsigned long>(timeoutMs));
        return 1;
    }
    return 0;
}

int textCommand(int count, char** ids) {
    for (int i = 0; i < count; ++i) {
        long id = 0;
        if (!parseNumber(ids[i], &id)) {
            return usage();
        }
        HWND control = findControl(id);
        if (control == nullptr) {
            return 1;
        }
        wchar_t text[TEXT_CAPACITY];
        LRESULT got =
            SendMessageW(control, WM_GETTEXT, TEXT_CAPACITY, reinterpret_cast<LPARAM>(text));
        text[(got < 0 || got >= TEXT_CAPACITY) ? 0 : got] = L'\0';
        printWide(text);
    }
    return 0;
}

int selectedCommand(long id) {
    HWND list = findControl(id);
    if (list == nullptr) {
        return 1;
    }
    LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    std::printf("%d\n", static_cast<int>(static_cast<short>(selected)));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 2) {
        return usage();
    }
    const char* command = argv[1];
    long a = 0;
    long b = 0;
    long c = 0;
    if (std::strcmp(command, "wait-window") == 0 && argc == 3 && parseNumber(argv[2], &a) &&
        a >= 0) {
        return waitWindow(static_cast<DWORD>(a));
    }
    if (std::strcmp(command, "list") == 0 && argc == 3 && parseNumber(argv[2], &a)) {
        return listCommand(a);
    }
    if (std::strcmp(command, "wait-list") == 0 && argc == 5 && parseNumber(argv[2], &a) &&
        parseNumber(argv[3], &b) && parseNumber(argv[4], &c) && c >= 0) {
        return waitListCommand(a, b, static_cast<DWORD>(c));
    }
    if (std::strcmp(command, "text") == 0 && argc >= 3) {
        return textCommand(argc - 2, argv + 2);
    }
    if (std::strcmp(command, "selected") == 0 && argc == 3 && parseNumber(argv[2], &a)) {
        return selectedCommand(a);
    }
    return usage();
}
