#pragma once

#include <cstdint>

// Time of the last paced repaint, in milliseconds of the tick count; 0 at load.
extern uint32_t lastFrameTime;

// True, and the tick remembered, when more than 1/rate s has passed since the last paced
// repaint. The difference is taken modulo 2^32, so pacing carries on across the wrap of
// the tick count (every 49.7 days of uptime).
bool frameDueAt(uint32_t nowTick, int rate);
// frameDueAt with the system's tick count.
bool frameDue(int rate);
