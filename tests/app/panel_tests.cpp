#include "window_harness.h"

#include "app/main_loop.h"
#include "render/back_buffer.h"
#include "render/panel_painter.h"
#include "resources/resource_ids.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr uint32_t GREY = 0x646464; // RGB(100, 100, 100) as a 32-bit DIB pixel

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb; // 0x00RRGGBB, top row first

    uint32_t at(int x, int y) const {
        return rgb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

// Copies the top-left width x height pixels of a device context.
Pixels capture(HDC source, int width, int height) {
    Pixels pixels;
    pixels.width = width;
    pixels.height = height;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC copyDC = CreateCompatibleDC(source);
    HGDIOBJ previous = SelectObject(copyDC, dib);
    BitBlt(copyDC, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    pixels.rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    const uint32_t* row = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < pixels.rgb.size(); ++i) {
        pixels.rgb[i] = row[i] & 0xFFFFFF;
    }
    SelectObject(copyDC, previous);
    DeleteDC(copyDC);
    DeleteObject(dib);
    return pixels;
}

// The background as the executable holds it, loaded afresh.
Pixels referenceBackground(int width, int height) {
    HBITMAP image = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BACKGROUND));
    HDC screen = GetDC(nullptr);
    HDC imageDC = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(imageDC, image);
    Pixels pixels = capture(imageDC, width, height);
    SelectObject(imageDC, previous);
    DeleteDC(imageDC);
    ReleaseDC(nullptr, screen);
    DeleteObject(image);
    return pixels;
}

// Where a label's text lies, one pixel wider all round for the font's overhang.
RECT labelBox(HDC surface, const PanelLabel& label) {
    SIZE extent = {};
    GetTextExtentPoint32A(surface, label.text, static_cast<int>(strlen(label.text)), &extent);
    return RECT{label.x - 1, label.y - 1, label.x + extent.cx + 1, label.y + extent.cy + 1};
}

bool inside(const RECT& box, int x, int y) {
    return x >= box.left && x < box.right && y >= box.top && y < box.bottom;
}

using Panel = MainWindowTest;

// Checks that the rows from `top` down of a capture show the background, with nothing but
// grey label ink on it, and that each label there is inked.
void expectTheBackgroundWithGreyLabels(const Pixels& painted, HDC fontDC, int top,
                                       const char* what) {
    Pixels reference = referenceBackground(painted.width, painted.height);
    std::vector<RECT> boxes;
    for (const PanelLabel& label : PANEL_LABELS) {
        RECT box = labelBox(fontDC, label);
        boxes.push_back(box);
        if (box.top < top) {
            continue;
        }
        int inked = 0;
        int foreign = 0;
        for (int y = box.top; y < box.bottom && y < painted.height; ++y) {
            for (int x = box.left; x < box.right && x < painted.width; ++x) {
                uint32_t pixel = painted.at(x, y);
                if (pixel == GREY && reference.at(x, y) != GREY) {
                    ++inked;
                } else if (pixel != reference.at(x, y)) {
                    ++foreign; // neither the label's ink nor the background
                }
            }
        }
        EXPECT_GT(inked, 0) << what << ": no grey ink for \"" << label.text << "\"";
        EXPECT_EQ(foreign, 0) << what << ": label \"" << label.text
                              << "\" has an opaque background";
    }

    int differing = 0;
    for (int y = top; y < painted.height; ++y) {
        for (int x = 0; x < painted.width; ++x) {
            bool inLabel = false;
            for (const RECT& box : boxes) {
                inLabel = inLabel || inside(box, x, y);
            }
            if (!inLabel && painted.at(x, y) != reference.at(x, y)) {
                ++differing;
            }
        }
    }
    EXPECT_EQ(differing, 0) << what << ": pixels away from the labels that are not the background";
}

Pixels surfacePixels() {
    return capture(gBackBuffer.memoryDC, gBackBuffer.clientRect.right,
                   gBackBuffer.clientRect.bottom);
}

// Below the setups list no control covers the panel.
constexpr int BELOW_THE_LISTS = 401;

Pixels windowPixels(HWND window) {
    HDC windowDC = GetDC(window);
    Pixels shown = capture(windowDC, gBackBuffer.clientRect.right, gBackBuffer.clientRect.bottom);
    ReleaseDC(window, windowDC);
    return shown;
}

TEST_F(Panel, showsTheBackgroundWithGreyLabelsOverIt) {
    redrawPanel();
    ASSERT_GT(gBackBuffer.clientRect.right, 0);
    expectTheBackgroundWithGreyLabels(surfacePixels(), gBackBuffer.memoryDC, 0, "surface");
}

// A rebuilt surface starts blank (black); it must hold the panel before anything copies it,
// so the first frame after startup and after each restore is the background, never black.
TEST_F(Panel, theFirstFrameAfterStartupAndAfterARestoreShowsTheBackground) {
    // Startup: the harness has run initialiseApp and handled the first WM_PAINT, and no
    // paced repaint has happened yet.
    expectTheBackgroundWithGreyLabels(surfacePixels(), gBackBuffer.memoryDC, 0,
                                      "surface at startup");
    expectTheBackgroundWithGreyLabels(windowPixels(window), gBackBuffer.memoryDC, BELOW_THE_LISTS,
                                      "window at startup");

    ShowWindow(window, SW_MINIMIZE);
    pumpMessages();
    ASSERT_TRUE(matchSurfaceToWindow(window));
    ShowWindow(window, SW_RESTORE);
    ASSERT_TRUE(matchSurfaceToWindow(window)); // rebuilt, and nothing copied it yet
    expectTheBackgroundWithGreyLabels(surfacePixels(), gBackBuffer.memoryDC, 0,
                                      "surface after restore");
    pumpMessages();
    expectTheBackgroundWithGreyLabels(windowPixels(window), gBackBuffer.memoryDC, BELOW_THE_LISTS,
                                      "window after restore");
}

TEST_F(Panel, repaintingAgainChangesNothingAndTheWindowShowsTheSurface) {
    redrawPanel();
    const int width = gBackBuffer.clientRect.right;
    const int height = gBackBuffer.clientRect.bottom;
    Pixels first = capture(gBackBuffer.memoryDC, width, height);
    for (int i = 0; i < 20; ++i) {
        redrawPanel();
    }
    Pixels later = capture(gBackBuffer.memoryDC, width, height);
    EXPECT_TRUE(first.rgb == later.rgb);

    // Below the setups list no control covers the panel: the window shows the surface's
    // top-left part there.
    HDC windowDC = GetDC(window);
    Pixels shown = capture(windowDC, width, height);
    ReleaseDC(window, windowDC);
    int differing = 0;
    for (int y = 401; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            differing += shown.at(x, y) != later.at(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
}

// Grey pixels of the label's ink that the window shows.
int greyInWindow(HWND window, const PanelLabel& label) {
    HDC windowDC = GetDC(window);
    RECT box = labelBox(gBackBuffer.memoryDC, label);
    Pixels shown = capture(windowDC, box.right, box.bottom);
    ReleaseDC(window, windowDC);
    int grey = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            grey += shown.at(x, y) == GREY ? 1 : 0;
        }
    }
    return grey;
}

HWND gWindowToClose;

void CALLBACK closeWindow(HWND, UINT, UINT_PTR, DWORD) {
    PostMessageA(gWindowToClose, WM_CLOSE, 0, 0);
}

TEST_F(Panel, theMainLoopPaintsThePanelWhileTheQueueIsIdle) {
    const PanelLabel& contact = PANEL_LABELS[9];
    HDC windowDC = GetDC(window);
    PatBlt(windowDC, 0, 0, gBackBuffer.clientRect.right, gBackBuffer.clientRect.bottom, BLACKNESS);
    ReleaseDC(window, windowDC);
    ASSERT_EQ(greyInWindow(window, contact), 0) << "the window was not blacked out";

    // Nothing but this timer's message arrives, so the loop spends a third of a second idle.
    gWindowToClose = window;
    UINT_PTR timer = SetTimer(nullptr, 0, 300, closeWindow);
    ASSERT_NE(timer, 0u);
    runMainLoop(window);
    KillTimer(nullptr, timer);

    EXPECT_GT(greyInWindow(window, contact), 0) << "the idle loop never repainted";
}

TEST_F(Panel, releaseFreesTheSurfaceOnceAndFreesTheBackgroundForTheNextSurface) {
    gBackBuffer.release(); // the window's own surface holds the background since startup
    BackBuffer buffer = {};
    buffer.release(); // an empty record
    ASSERT_TRUE(buffer.create(window));
    HDC memoryDC = buffer.memoryDC;
    HBITMAP bitmap = buffer.bitmap;
    SelectObject(memoryDC, backgroundImage()); // as a repaint leaves it

    buffer.release();
    EXPECT_EQ(buffer.memoryDC, nullptr);
    EXPECT_EQ(buffer.windowDC, nullptr);
    EXPECT_EQ(buffer.bitmap, nullptr);
    EXPECT_EQ(buffer.previousBitmap, nullptr);
    EXPECT_EQ(buffer.window, window) << "the window and rectangles are kept";
    // Every handle the surface held is gone.
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(GetObjectType(memoryDC), 0u);
    buffer.release();

    // The background is out of the old context and can go into another one.
    EXPECT_EQ(GetObjectType(backgroundImage()), static_cast<DWORD>(OBJ_BITMAP));
    HDC other = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(other, backgroundImage());
    EXPECT_NE(previous, nullptr);
    SelectObject(other, previous);
    DeleteDC(other);
}

TEST_F(Panel, releaseOfAHalfBuiltSurfaceFreesWhatWasAcquired) {
    BackBuffer buffer = {};
    buffer.window = window;
    buffer.windowDC = GetDC(window);
    buffer.memoryDC = CreateCompatibleDC(buffer.windowDC);
    HDC memoryDC = buffer.memoryDC;
    buffer.release();
    buffer.release();
    EXPECT_EQ(buffer.windowDC, nullptr);
    EXPECT_EQ(buffer.memoryDC, nullptr);
    EXPECT_EQ(GetObjectType(memoryDC), 0u);

    EXPECT_FALSE(buffer.create(nullptr));
    EXPECT_EQ(buffer.windowDC, nullptr);
}

} // namespace
