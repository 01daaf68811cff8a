// The probe's resource and painting checks (see probe.cpp for the command line).
#include "tests/e2e/probe.h"

#include "render/panel_painter.h"
#include "resources/resource_ids.h"

#include <psapi.h>
#include <share.h>
#include <winternl.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

const DWORD STATE_TIMEOUT_MS = 5000;
// Time for the program to rebuild its surface and paint once after the last restore.
const DWORD SETTLE_MS = 300;
const int MAX_CONTROLS = 32;

struct Usage {
    DWORD gdiObjects;  // 0 when the system does not report them
    DWORD userObjects; // 0 when the system does not report them
    long gdiTableEntries;
    SIZE_T workingSetKb;
    SIZE_T privateKb;
};

// One entry of the GDI handle table that the process environment block points to, in the
// layout that Windows and Wine share on x86-64.
struct GdiHandleEntry {
    UINT64 kernelObject;
    USHORT processId;
    USHORT lock;
    USHORT unique;
    UCHAR type; // 0 for a free entry
    UCHAR flags;
    UINT64 userObject;
};
static_assert(sizeof(GdiHandleEntry) == 24, "the table's entries are 24 bytes");
const int GDI_TABLE_ENTRIES = 0x10000;
const SIZE_T PEB_GDI_TABLE_OFFSET = 0xF8; // PEB.GdiSharedHandleTable on x86-64

// Live entries of the process's GDI handle table: Wine does not answer GetGuiResources, but
// it keeps this table per process and marks no owner in it. Windows shares one table among
// all processes; there only the entries marked with the process's id count. -1 when the
// table cannot be read.
long countGdiTableEntries(HANDLE process, DWORD processId) {
    PROCESS_BASIC_INFORMATION basic = {};
    UINT64 table = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic,
                                  nullptr) != 0 ||
        !ReadProcessMemory(
            process, reinterpret_cast<const char*>(basic.PebBaseAddress) + PEB_GDI_TABLE_OFFSET,
            &table, sizeof table, nullptr) ||
        table == 0) {
        return -1;
    }
    static GdiHandleEntry entries[GDI_TABLE_ENTRIES];
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries, sizeof entries,
                           nullptr)) {
        return -1;
    }
    long live = 0;
    long ours = 0;
    for (const GdiHandleEntry& entry : entries) {
        live += entry.type != 0 ? 1 : 0;
        ours += (entry.type != 0 && entry.processId == static_cast<USHORT>(processId)) ? 1 : 0;
    }
    return ours > 0 ? ours : live;
}

Usage measure(HANDLE process, DWORD processId) {
    Usage usage = {};
    usage.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    usage.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    usage.gdiTableEntries = countGdiTableEntries(process, processId);
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory)) {
        usage.workingSetKb = memory.WorkingSetSize / 1024;
        usage.privateKb = memory.PrivateUsage / 1024;
    }
    return usage;
}

void printUsage(long cycles, const Usage& usage) {
    std::printf("usage %ld gdi %lu user %lu gdi_table %ld workingset_kb %lu private_kb %lu\n",
                cycles, static_cast<unsigned long>(usage.gdiObjects),
                static_cast<unsigned long>(usage.userObjects), usage.gdiTableEntries,
                static_cast<unsigned long>(usage.workingSetKb),
                static_cast<unsigned long>(usage.privateKb));
}

bool waitForIconic(HWND window, bool iconic) {
    DWORD start = GetTickCount();
    while ((IsIconic(window) != FALSE) != iconic) {
        if (GetTickCount() - start > STATE_TIMEOUT_MS) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

} // namespace

// The commands are posted, not sent, so that each one comes through the program's own
// loop like real input: its size check runs between the minimise and the restore.
int cycleCommand(long count, long step) {
    HWND window = findMainWindow();
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (window == nullptr || process == nullptr) {
        std::fprintf(stderr, "probe: no window or process to cycle\n");
        return 1;
    }
    Sleep(SETTLE_MS);
    printUsage(0, measure(process, processId));
    int result = 0;
    for (long cycle = 1; cycle <= count && result == 0; ++cycle) {
        PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        bool minimised = waitForIconic(window, true);
        PostMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
        if (!minimised || !waitForIconic(window, false)) {
            std::fprintf(stderr, "probe: cycle %ld did not %s\n", cycle,
                         minimised ? "restore" : "minimise");
            result = 1;
        } else if (cycle % step == 0) {
            Sleep(SETTLE_MS);
            printUsage(cycle, measure(process, processId));
        }
    }
    CloseHandle(process);
    return result;
}

namespace {

struct Rects {
    RECT rect[MAX_CONTROLS];
    int count;
    HWND parent;
};

BOOL CALLBACK collectRect(HWND child, LPARAM context) {
    Rects* rects = reinterpret_cast<Rects*>(context);
    if (rects->count < MAX_CONTROLS && IsWindowVisible(child)) {
        RECT& rect = rects->rect[rects->count++];
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, rects->parent, reinterpret_cast<POINT*>(&rect), 2);
    }
    return TRUE;
}

bool covered(const Rects& rects, int x, int y) {
    for (int i = 0; i < rects.count; ++i) {
        const RECT& r = rects.rect[i];
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) {
            return true;
        }
    }
    return false;
}

// The background image of the executable at its own size, as 0x00RRGGBB, top row first.
std::vector<uint32_t> loadBackground(const char* exePath, int* width, int* height) {
    std::vector<uint32_t> pixels;
    HMODULE module = LoadLibraryExA(exePath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HBITMAP image = static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(IDB_BACKGROUND), IMAGE_BITMAP, 0, 0, 0));
    BITMAP size = {};
    if (image != nullptr && GetObjectA(image, sizeof size, &size) != 0) {
        *width = size.bmWidth;
        *height = size.bmHeight;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = size.bmWidth;
        info.bmiHeader.biHeight = -size.bmHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        pixels.resize(static_cast<size_t>(size.bmWidth) * static_cast<size_t>(size.bmHeight));
        HDC screen = GetDC(nullptr);
        if (GetDIBits(screen, image, 0, size.bmHeight, pixels.data(), &info, DIB_RGB_COLORS) !=
            size.bmHeight) {
            pixels.clear();
        }
        ReleaseDC(nullptr, screen);
    }
    if (image != nullptr) {
        DeleteObject(image);
    }
    if (module != nullptr) {
        FreeLibrary(module);
    }
    for (uint32_t& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

} // namespace

int panelCommand(const char* exePath, const char* shotPath) {
    HWND window = findMainWindow();
    RECT client = {};
    if (window == nullptr || !GetClientRect(window, &client)) {
        std::fprintf(stderr, "probe: no window to compare\n");
        return 1;
    }
    const int width = client.right;
    const int height = client.bottom;
    std::vector<unsigned char> shot(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    FILE* file = _fsopen(shotPath, "rb", _SH_DENYNO);
    size_t got = file != nullptr ? std::fread(shot.data(), 1, shot.size(), file) : 0;
    if (file != nullptr) {
        got = std::fgetc(file) == EOF ? got : 0; // a larger file is not this client area
        std::fclose(file);
    }
    int imageWidth = 0;
    int imageHeight = 0;
    std::vector<uint32_t> background = loadBackground(exePath, &imageWidth, &imageHeight);
    if (got != shot.size() || background.empty()) {
        std::fprintf(stderr, "probe: no %dx%d screenshot in %s or no background in %s\n", width,
                     height, shotPath, exePath);
        return 1;
    }
    Rects controls = {};
    controls.parent = window;
    EnumChildWindows(window, collectRect, reinterpret_cast<LPARAM>(&controls));

    const uint32_t grey = (GetRValue(LABEL_COLOR) << 16) | (GetGValue(LABEL_COLOR) << 8) |
                          static_cast<uint32_t>(GetBValue(LABEL_COLOR));
    long compared = 0;
    long inked = 0;
    long wrong = 0;
    for (int y = 0; y < height && y < imageHeight; ++y) {
        for (int x = 0; x < width && x < imageWidth; ++x) {
            if (covered(controls, x, y)) {
                continue;
            }
            const unsigned char* rgb = &shot[(static_cast<size_t>(y) * width + x) * 3];
            const uint32_t shown = (uint32_t{rgb[0]} << 16) | (uint32_t{rgb[1]} << 8) | rgb[2];
            const uint32_t expected = background[static_cast<size_t>(y) * imageWidth + x];
            ++compared;
            if (shown == expected) {
                continue;
            }
            if (shown == grey) {
                ++inked;
                continue;
            }
            if (wrong++ == 0) {
                std::printf("first-wrong %d %d shown %06lx background %06lx\n", x, y,
                            static_cast<unsigned long>(shown),
                            static_cast<unsigned long>(expected));
            }
        }
    }
    std::printf("panel compared %ld inked %ld wrong %ld\n", compared, inked, wrong);
    return (wrong == 0 && inked > 0) ? 0 : 1;
}
