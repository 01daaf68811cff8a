// Console helper for the end-to-end tests: finds the running dice roller's main window and
// reads its controls from outside the process, as a user would see them.
//   probe wait-window TIMEOUT_MS          where the window, its client area and its caption
//                                         buttons are (close, minimise, system menu)
//   probe list ID                         the lines of a list box, one per output line
//   probe wait-list ID COUNT TIMEOUT_MS   waits until a list box holds COUNT lines, then lists it
//   probe text ID...                      the text of each control, one per output line
//   probe selected ID                     the selected line of a list box (-1 when none)
//   probe state ID...                     the focused control and whether the window is
//                                         minimised, then each list box ("list ID COUNT
//                                         SELECTED TOP ITEM_HEIGHT X Y WIDTH HEIGHT", the last
//                                         four its lines' area in client pixels, then its
//                                         lines) or field ("text ID LIMIT", LIMIT the most
//                                         characters it takes, and its text)
//   probe popup                           where an open popup menu is: "popup LEFT TOP RIGHT
//                                         BOTTOM" on the screen (exit code 1 when none is)
//   probe stall TIMEOUT_MS                "stall MS": the longest the program took to answer a
//                                         message until it ended or the time was up
//   probe rects                           each child control: "rect ID X Y WIDTH HEIGHT" in
//                                         client pixels
//   probe redraw ID                       has the program repaint a control whole, frame and
//                                         scroll bars included
//   probe cycle COUNT STEP                minimises and restores COUNT times (probe_checks.cpp)
//   probe panel EXE SHOT.rgb              checks a screenshot of the panel (probe_checks.cpp)
//   probe serve [ANSWER_FILE]             runs the commands above, one per input line; each
//                                         answer ends with a line holding a single dot. With
//                                         ANSWER_FILE each answer is written there instead,
//                                         and only the dot comes on the output
// Exit code: 0 on success, 1 when the window or control is missing or the wait timed out,
// 2 on a usage error.
//
// Texts are read with the wide messages: the ANSI forms come back cut to one character when
// the control belongs to another process. They are printed as UTF-8.
#include "tests/e2e/probe.h"

#include <io.h>
#include <share.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const int TEXT_CAPACITY = 4096; // a setup line is at most 2084 characters
const int MAX_ARGS = 32;

int usage() {
    std::fputs("usage: probe wait-window TIMEOUT_MS | list ID | wait-list ID COUNT TIMEOUT_MS"
               " | text ID... | selected ID | state ID... | popup | stall TIMEOUT_MS | rects"
               " | redraw ID | cycle COUNT STEP"
               " | panel EXE SHOT.rgb | serve [ANSWER_FILE]\n",
               stderr);
    return 2;
}

HWND findControl(long id) {
    HWND window = findMainWindow();
    if (window == nullptr) {
        std::fprintf(stderr, "probe: no visible main window\n");
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

// Prints every line of the list box; returns the number of lines, or -1 when it has none
// to read.
int printList(HWND list) {
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    if (count == LB_ERR) {
        return -1;
    }
    // Each message to another process waits for its loop to take it, so a line costs one
    // message: Wine sizes the copy of a line sent across processes by the line itself, and
    // TEXT_CAPACITY exceeds the longest line.
    wchar_t line[TEXT_CAPACITY];
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT got = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
        line[(got < 0 || got >= TEXT_CAPACITY) ? 0 : got] = L'\0';
        printWide(line);
    }
    return static_cast<int>(count);
}

int redrawCommand(long id) {
    HWND control = findControl(id);
    return (control != nullptr &&
            RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME))
               ? 0
               : 1;
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

void printText(HWND control) {
    wchar_t text[TEXT_CAPACITY];
    LRESULT got = SendMessageW(control, WM_GETTEXT, TEXT_CAPACITY, reinterpret_cast<LPARAM>(text));
    text[(got < 0 || got >= TEXT_CAPACITY) ? 0 : got] = L'\0';
    printWide(text);
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
        printText(control);
    }
    return 0;
}

int signedIndex(LRESULT index) {
    return static_cast<int>(static_cast<short>(index));
}

int selectedCommand(long id) {
    HWND list = findControl(id);
    if (list == nullptr) {
        return 1;
    }
    std::printf("%d\n", signedIndex(SendMessageW(list, LB_GETCURSEL, 0, 0)));
    return 0;
}

bool isListBox(HWND control) {
    char className[32] = "";
    GetClassNameA(control, className, sizeof className);
    return lstrcmpiA(className, "ListBox") == 0;
}

// The control that has the keyboard focus: its id, 0 for the main window itself, -1 for
// none.
int focusedId(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ||
        info.hwndFocus == nullptr) {
        return -1;
    }
    return info.hwndFocus == window ? 0 : GetDlgCtrlID(info.hwndFocus);
}

int stateCommand(int count, char** ids) {
    HWND window = findMainWindow();
    if (window == nullptr) {
        return 1;
    }
    std::printf("focus %d\niconic %d\n", focusedId(window), IsIconic(window) ? 1 : 0);
    for (int i = 0; i < count; ++i) {
        long id = 0;
        if (!parseNumber(ids[i], &id)) {
            return usage();
        }
        HWND control = findControl(id);
        if (control == nullptr) {
            return 1;
        }
        if (!isListBox(control)) {
            std::printf("text %ld %d\n", id,
                        static_cast<int>(SendMessageW(control, EM_GETLIMITTEXT, 0, 0)));
            printText(control);
            continue;
        }
        RECT lines = {};
        GetClientRect(control, &lines);
        MapWindowPoints(control, window, reinterpret_cast<POINT*>(&lines), 2);
        std::printf("list %ld %d %d %d %d %ld %ld %ld %ld\n", id,
                    static_cast<int>(SendMessageW(control, LB_GETCOUNT, 0, 0)),
                    signedIndex(SendMessageW(control, LB_GETCURSEL, 0, 0)),
                    static_cast<int>(SendMessageW(control, LB_GETTOPINDEX, 0, 0)),
                    static_cast<int>(SendMessageW(control, LB_GETITEMHEIGHT, 0, 0)), lines.left,
                    lines.top, lines.right - lines.left, lines.bottom - lines.top);
        printList(control);
    }
    return 0;
}

int runCommand(int argc, char** argv);

// Points the standard output at the answer file, or back at the original output (-1 when
// there is no answer file); returns the descriptor to restore.
int redirectOutput(const char* answerPath, int restore) {
    std::fflush(stdout);
    if (answerPath == nullptr) {
        return -1;
    }
    if (restore >= 0) {
        _dup2(restore, _fileno(stdout));
        _close(restore);
        return -1;
    }
    int original = _dup(_fileno(stdout));
    // fopen's sharing mode: the Microsoft C runtime deprecates fopen itself.
    FILE* answer = _fsopen(answerPath, "wb", _SH_DENYNO);
    if (answer != nullptr) {
        _dup2(_fileno(answer), _fileno(stdout));
        std::fclose(answer);
    }
    return original;
}

// One command per input line, so that a long run pays Wine's start-up cost only once. A
// long answer is better written to a file: a shell reads a pipe one byte at a time.
int serveCommand(const char* answerPath) {
    char line[8192];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        char* args[MAX_ARGS];
        int count = 0;
        char* rest = nullptr;
        for (char* word = strtok_s(line, " \t\r\n", &rest); word != nullptr && count < MAX_ARGS;
             word = strtok_s(nullptr, " \t\r\n", &rest)) {
            args[count++] = word;
        }
        if (count > 0) {
            int original = redirectOutput(answerPath, -1);
            runCommand(count, args);
            redirectOutput(answerPath, original);
        }
        std::printf(".\n");
    }
    return 0;
}

// argv[0] is the command name.
int runCommand(int argc, char** argv) {
    const char* command = argv[0];
    long a = 0;
    long b = 0;
    long c = 0;
    if (std::strcmp(command, "wait-window") == 0 && argc == 2 && parseNumber(argv[1], &a) &&
        a >= 0) {
        return waitWindow(static_cast<DWORD>(a));
    }
    if (std::strcmp(command, "list") == 0 && argc == 2 && parseNumber(argv[1], &a)) {
        return listCommand(a);
    }
    if (std::strcmp(command, "wait-list") == 0 && argc == 4 && parseNumber(argv[1], &a) &&
        parseNumber(argv[2], &b) && parseNumber(argv[3], &c) && c >= 0) {
        return waitListCommand(a, b, static_cast<DWORD>(c));
    }
    if (std::strcmp(command, "text") == 0 && argc >= 2) {
        return textCommand(argc - 1, argv + 1);
    }
    if (std::strcmp(command, "selected") == 0 && argc == 2 && parseNumber(argv[1], &a)) {
        return selectedCommand(a);
    }
    if (std::strcmp(command, "state") == 0) {
        return stateCommand(argc - 1, argv + 1);
    }
    if (std::strcmp(command, "popup") == 0 && argc == 1) {
        return popupCommand();
    }
    if (std::strcmp(command, "stall") == 0 && argc == 2 && parseNumber(argv[1], &a) && a > 0) {
        return stallCommand(static_cast<DWORD>(a));
    }
    if (std::strcmp(command, "rects") == 0 && argc == 1) {
        return rectsCommand();
    }
    if (std::strcmp(command, "redraw") == 0 && argc == 2 && parseNumber(argv[1], &a)) {
        return redrawCommand(a);
    }
    if (std::strcmp(command, "cycle") == 0 && argc == 3 && parseNumber(argv[1], &a) &&
        parseNumber(argv[2], &b) && a >= 0 && b > 0) {
        return cycleCommand(a, b);
    }
    if (std::strcmp(command, "panel") == 0 && argc == 3) {
        return panelCommand(argv[1], argv[2]);
    }
    if (std::strcmp(command, "serve") == 0 && argc <= 2) {
        return serveCommand(argc == 2 ? argv[1] : nullptr);
    }
    return usage();
}

} // namespace

bool parseNumber(const char* text, long* value) {
    char* end = nullptr;
    *value = std::strtol(text, &end, 10);
    return end != text && *end == '\0';
}

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 2) {
        return usage();
    }
    return runCommand(argc - 1, argv + 1);
}
