// Console check for a Wine prefix, run by scripts/setup-wine-prefix: asks for the setups
// list's font as the program does ("Courier", 12 x 6 pixels) and prints the face it gets.
// Exit code 0 when that face is a TrueType Courier, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main() {
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTA request = {};
    request.lfHeight = 12;
    request.lfWidth = 6;
    lstrcpynA(request.lfFaceName, "Courier", LF_FACESIZE);
    HFONT font = CreateFontIndirectA(&request);
    HGDIOBJ previous = SelectObject(dc, font);
    char face[LF_FACESIZE] = "";
    TEXTMETRICA metrics = {};
    GetTextFaceA(dc, LF_FACESIZE, face);
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
    bool trueType = (metrics.tmPitchAndFamily & TMPF_TRUETYPE) != 0;
    std::printf("font_check: Courier 12x6 is drawn with %s (%s)\n", face,
                trueType ? "TrueType" : "not TrueType");
    return (trueType && std::strcmp(face, "Courier") == 0) ? 0 : 1;
}
