// Console helper for setting up a Wine prefix: asks the font mapper for the setups list's
// font, as the program does, and says what it realises.
//   font_check    prints "FACE HEIGHTxWIDTH pixels, design width W, fixed|variable pitch,
//                 truetype|raster|vector"; exit code 0 when that is legible (fixed pitch,
//                 not squeezed below its design width), 1 when not
#include "app/child_controls.h"
#include "scripts/font_check/realised_font.h"

#include <cstdio>

int main() {
    HDC screen = GetDC(nullptr);
    RealisedFont realised = {};
    bool measured = screen != nullptr && realiseFont(screen, setupListFontRequest(), &realised);
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    if (!measured) {
        std::fputs("font_check: the font could not be realised\n", stderr);
        return 1;
    }
    BYTE pitch = realised.metrics.tmPitchAndFamily;
    std::printf("%s %ldx%ld pixels, design width %ld, %s pitch, %s\n", realised.face,
                realised.metrics.tmHeight, realised.metrics.tmAveCharWidth, realised.designWidth,
                (pitch & TMPF_FIXED_PITCH) ? "variable" : "fixed",
                (pitch & TMPF_TRUETYPE) ? "truetype"
                : (pitch & TMPF_VECTOR) ? "vector"
                                        : "raster");
    return isLegibleFixedPitch(realised) ? 0 : 1;
}
