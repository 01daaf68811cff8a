#pragma once

#include <windows.h>

// What the platform's font mapper makes of a font request on a device context: the face it
// picked and the metrics it draws with, beside the width that face has when no width is
// asked for. The prefix check (font_check.exe) and the program's tests share it.
struct RealisedFont {
    char face[LF_FACESIZE];
    TEXTMETRICA metrics;
    LONG designWidth; // average character width of the same request with lfWidth 0
};

bool realiseFont(HDC dc, const LOGFONTA& request, RealisedFont* realised);
// Fixed pitch and not squeezed below its design width. A raster face is only ever scaled by
// whole multiples on Windows, so there it is always drawn at its design width; a face that
// is squeezed into a narrower cell than it was drawn for loses its letters' shapes.
bool isLegibleFixedPitch(const RealisedFont& realised);
