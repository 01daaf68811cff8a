#include "app/main_loop.h"
#include "app/startup.h"
#include "dice/random_source.h"
#include "render/back_buffer.h"

#include <windows.h>

// The command line and the show-window request are not used.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    gInstance = instance;
    registerWindowClass(instance);
    HWND window = createMainWindow(instance);
    if (window == nullptr) {
        unregisterWindowClass(instance);
        return 1;
    }
    if (!initialiseApp(window)) {
        unregisterWindowClass(instance);
        return 1;
    }
    seedRandom();
    runMainLoop(window);
    gBackBuffer.release();
    unregisterWindowClass(instance);
    return 0;
}
