// Timing run for scripts/measure-press.sh: the roll press inside the real main window, split
// into the command itself and the repaint it leaves for the message loop, set against the
// same 100 evaluations in the engine alone.
//   press_bench PRESSES COUNT FACES DROP
// Each press is the button's click notification, as the window procedure receives it, then
// every message it left (the lists' repaints) is handled.
#include "app/child_controls.h"
#include "app/startup.h"
#include "bench/press_clock.h"
#include "dice/random_source.h"
#include "resources/resource_ids.h"
#include "setups/control_ids.h"
#include "setups/ui_operations.h"

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
    std::printf("%-6s command %7.2f ms, repaint %6.2f ms, engine %7.2f ms, beyond the engine "
                "%7.2f ms median, %7.2f ms least (first press %.2f ms)\n",
                what, median(figures.command), median(figures.repaint), median(figures.engine),
                median(figures.beyond), smallest(figures.beyond), figures.beyond.front());
}

Figures measure(HWND window, int presses, int32_t count, int32_t faces, int32_t drop) {
    Figures figures;
    HWND button = controlWindow(ID_ROLL);
    for (int press = 0; press < presses; ++press) {
        settle();
        double start = nowMs();
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(ID_ROLL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
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
    report("press", measure(window, presses, count, faces, drop));
    reportButtonDrawing();
    DestroyWindow(window);
    return 0;
}
