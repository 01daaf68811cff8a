#include "scripts/font_check/realised_font.h"

namespace {

bool measure(HDC dc, const LOGFONTA& request, char* face, TEXTMETRICA* metrics) {
    HFONT font = CreateFontIndirectA(&request);
    if (font == nullptr) {
        return false;
    }
    HGDIOBJ previous = SelectObject(dc, font);
    bool measured = GetTextMetricsA(dc, metrics) != 0 &&
                    (face == nullptr || GetTextFaceA(dc, LF_FACESIZE, face) != 0);
    SelectObject(dc, previous);
    DeleteObject(font);
    return measured;
}

} // namespace

bool realiseFont(HDC dc, const LOGFONTA& request, RealisedFont* realised) {
    *realised = {};
    LOGFONTA natural = request;
    natural.lfWidth = 0;
    TEXTMETRICA naturalMetrics = {};
    if (!measure(dc, request, realised->face, &realised->metrics) ||
        !measure(dc, natural, nullptr, &naturalMetrics)) {
        return false;
    }
    realised->designWidth = naturalMetrics.tmAveCharWidth;
    return true;
}

bool isLegibleFixedPitch(const RealisedFont& realised) {
    // The pitch bit is named the wrong way round: set means variable pitch.
    bool fixedPitch = (realised.metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
    // One pixel of rounding is allowed: a scalable face's width is a fraction of a pixel.
    return fixedPitch && realised.metrics.tmAveCharWidth >= realised.designWidth - 1;
}
