// Timing run for scripts/measure-press.sh, not a test: the roll press inside the real main
// window, split into the command itself and the repaint it leaves for the message loop, set
// against the same 100 evaluations in the engine alone.
//   press_bench PRESSES COUNT FACES DROP
// Each press is the button's click notification, as the window procedure receives it, then
// every message it left (the lists' repaints) is handled. The reference is the roll command
// called directly, without the batching the dispatcher adds: each line then repaints its list
// and scroll bars as it arrives.
#include "app/child_controls.h"
#include "app/list_extent.h"
#include "app/startup.h"
#include "dice/random_source.h"
#include "resources/resource_ids.h"
#include "setups/control_ids.h"
#include "setups/roll_command.h"
#include "setups/ui_operations.h"
#include "tests/app/gdi_text_width.h"
#include "tests/e2e/press_clock.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

// Lets the paced repaints and any late messages settle between presses.
void settle() {
    double end = nowMs() + 60;
    while (nowMs() < end) {
        pumpMessages();
        Sleep(1);
    }
}

struct Figures {
    std::vector<double> command;
    std::vector<double> repaint;
    std::vector<double> engine;
    std::vector<double> beyond; // command + repaint - engine, press by press
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double smallest(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

void report(const char* what, const Figures& figures) {
    std::printf("%-28s command %7.2f ms, repaint %6.2f ms, engine %7.2f ms, beyond the engine "
                "%7.2f ms median, %7.2f ms least (first press %.2f ms)\n",
                what, median(figures.command), median(figures.repaint), median(figures.engine),
                median(figures.beyond), smallest(figures.beyond), figures.beyond.front());
}

Figures measure(HWND window, int presses, bool batched, int32_t count, int32_t faces,
                int32_t drop) {
    Figures figures;
    HWND button = controlWindow(ID_ROLL);
    for (int press = 0; press < presses; ++press) {
        settle();
        double start = nowMs();
        if (batched) {
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(ID_ROLL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
        } else {
            rollCommand();
        }
        double commanded = nowMs();
        pumpMessages();
        double repainted = nowMs();
        double engine = engineMs(count, faces, drop);
        figures.command.push_back(commanded - start);
        figures.repaint.push_back(repainted - commanded);
        figures.engine.push_back(engine);
        figures.beyond.push_back(repainted - start - engine);
    }
    return figures;
}

// The widest line of a list as the program measured it before it kept a table of character
// widths: each line measured whole by GDI.
int referenceWidestLine(HWND list, HDC dc) {
    int widest = 0;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    char line[256];
    for (int i = 0; i < count; ++i) {
        if (SendMessageA(list, LB_GETTEXTLEN, i, 0) >= static_cast<LRESULT>(sizeof line)) {
            continue;
        }
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
        widest = std::max(widest, gdiTextWidth(list, dc, line, lstrlenA(line)) + LIST_TEXT_MARGIN);
    }
    return widest;
}

// Fitting the results list's extent to the lines of the last press, against the reference.
void reportExtentFit() {
    constexpr int FITS = 200;
    HWND list = controlWindow(ID_RESULTS_LIST);
    HDC dc = CreateCompatibleDC(nullptr);
    double start = nowMs();
    for (int i = 0; i < FITS; ++i) {
        fitListExtent(list);
    }
    double fitted = nowMs();
    int widest = 0;
    for (int i = 0; i < FITS; ++i) {
        widest = referenceWidestLine(list, dc);
    }
    double measured = nowMs();
    DeleteDC(dc);
    double fit = (fitted - start) / FITS;
    double reference = (measured - fitted) / FITS;
    std::printf("extent of the %d result lines: fitted in %.3f ms, measured line by line in "
                "%.3f ms (%.2fx); widest %d, extent %d\n",
                static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)), fit, reference,
                fit / std::max(0.001, reference), widest,
                static_cast<int>(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0)));
}

double buttonDrawMs(HWND button) {
    constexpr int DRAWS = 200;
    double start = nowMs();
    for (int i = 0; i < DRAWS; ++i) {
        SendMessageA(button, BM_SETSTATE, i % 2 == 0, 0);
    }
    return (nowMs() - start) / DRAWS;
}

// The roll button drawn pressed and released, with its image and with the device bitmap that
// LoadBitmapA gives for the same resource.
void reportButtonDrawing() {
    HWND button = controlWindow(ID_ROLL);
    LPARAM own = SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0);
    HBITMAP device = LoadBitmapA(gInstance, MAKEINTRESOURCEA(IDB_ROLL_BUTTON));
    double withOwn = buttonDrawMs(button);
    SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(device));
    double withDevice = buttonDrawMs(button);
    SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, own);
    DeleteObject(device);
    std::printf("roll button drawn pressed or released: %.3f ms, with a device bitmap %.3f ms "
                "(%.2fx)\n",
                withOwn, withDevice, withOwn / std::max(0.001, withDevice));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fputs("usage: press_bench PRESSES COUNT FACES DROP\n", stderr);
        return 2;
    }
    const int presses = std::max(1, std::atoi(argv[1]));
    const auto count = static_cast<int32_t>(std::atol(argv[2]));
    const auto faces = static_cast<int32_t>(std::atol(argv[3]));
    const auto drop = static_cast<int32_t>(std::atol(argv[4]));
    gInstance = GetModuleHandleA(nullptr);
    registerWindowClass(gInstance);
    HWND window = createMainWindow(gInstance);
    if (window == nullptr || !initialiseApp(window)) {
        std::fputs("press_bench: no main window\n", stderr);
        return 1;
    }
    seedRandomFromTime(20240101);
    fieldSetText(ID_NUM_DICE, argv[2]);
    fieldSetText(ID_SIZE, argv[3]);
    fieldSetText(ID_DROP_LOWEST, argv[4]);
    fieldSetText(ID_NUM_ROLLS, "100");
    std::printf("=== in the window, %d presses of 100 x %sd%s drop %s\n", presses, argv[2], argv[3],
                argv[4]);
    Figures batched = measure(window, presses, true, count, faces, drop);
    Figures reference = measure(window, presses, false, count, faces, drop);
    report("press (batched lists)", batched);
    report("reference (line by line)", reference);
    reportExtentFit();
    reportButtonDrawing();
    std::printf("beyond the engine, reference / press: %.1fx (medians)\n",
                median(reference.beyond) / std::max(0.01, median(batched.beyond)));
    DestroyWindow(window);
    return 0;
}
