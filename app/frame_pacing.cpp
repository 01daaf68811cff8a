#include "app/frame_pacing.h"

#include <windows.h>

uint32_t lastFrameTime;

bool frameDueAt(uint32_t nowTick, int rate) {
    uint32_t elapsedMs = nowTick - lastFrameTime;
    // elapsed / 1000 > 1 / rate, in integers: at 30 a second, 34 ms is due and 33 ms is not.
    if (static_cast<int64_t>(elapsedMs) * rate > 1000) {
        lastFrameTime = nowTick;
        return true;
    }
    return false;
}

bool frameDue(int rate) {
    return frameDueAt(GetTickCount(), rate);
}
