#include "render/back_buffer.h"

BackBuffer gBackBuffer;

bool BackBuffer::create(HWND target) {
    release();
    if (target == nullptr) {
        return false;
    }
    window = target;
    if (!GetWindowRect(window, &windowRect) || !GetClientRect(window, &clientRect)) {
        return false;
    }
    windowDC = GetDC(window);
    if (windowDC == nullptr) {
        return false;
    }
    memoryDC = CreateCompatibleDC(windowDC);
    if (memoryDC == nullptr) {
        return false;
    }
    // A 0 x 0 client (minimised) still gives a valid 1 x 1 bitmap.
    bitmap = CreateCompatibleBitmap(windowDC, clientRect.right, clientRect.bottom);
    if (bitmap == nullptr) {
        return false;
    }
    previousBitmap = SelectObject(memoryDC, bitmap);
    return previousBitmap != nullptr;
}

void BackBuffer::release() {
    // Selecting the original bitmap back also frees whatever else was selected (the
    // background image), so that it can go into the next memory context and so that
    // bitmap is no longer selected when it is deleted.
    if (previousBitmap != nullptr) {
        if (memoryDC != nullptr) {
            SelectObject(memoryDC, previousBitmap);
        }
        previousBitmap = nullptr;
    }
    if (bitmap != nullptr) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    if (memoryDC != nullptr) {
        DeleteDC(memoryDC);
        memoryDC = nullptr;
    }
    if (windowDC != nullptr) {
        ReleaseDC(window, windowDC);
        windowDC = nullptr;
    }
}

void BackBuffer::copyToWindow() const {
    if (windowDC == nullptr || memoryDC == nullptr) {
        return;
    }
    BitBlt(windowDC, 0, 0, clientRect.right, clientRect.bottom, memoryDC, 0, 0, SRCCOPY);
}
