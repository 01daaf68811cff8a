#include "window_harness.h"

#include "setups/control_ids.h"

#include <string>

namespace {

using Appearance = MainWindowTest;

// The font the setups list really draws with, not the one it asked for: the Wine prefixes
// the project makes must resolve the Courier request to a scalable fixed-pitch face.
TEST_F(Appearance, setupsListDrawsInATrueTypeFixedPitchFaceOfTwelveBySixPixels) {
    HWND list = control(ID_SETUP_LIST);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    HDC dc = GetDC(list);
    HGDIOBJ previous = SelectObject(dc, font);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, sizeof face, face);
    TEXTMETRICA metrics = {};
    BOOL measured = GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(list, dc);

    ASSERT_TRUE(measured);
    SCOPED_TRACE(std::string("face ") + face);
    EXPECT_NE(metrics.tmPitchAndFamily & TMPF_TRUETYPE, 0);
    // The bit is named the wrong way round: set means variable pitch.
    EXPECT_EQ(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
    EXPECT_NEAR(metrics.tmAveCharWidth, 6, 1);
    EXPECT_NEAR(metrics.tmHeight, 12, 1);
}

TEST_F(Appearance, pointerOverThePanelIsTheStandardArrowWhateverItWasBefore) {
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    WNDCLASSA windowClass = {};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "Tarvo_Dice", &windowClass));
    EXPECT_EQ(windowClass.hCursor, arrow);

    // Leaving a field with the text I-beam: the panel asks for its class cursor.
    SetCursor(LoadCursorA(nullptr, IDC_IBEAM));
    SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), arrow);
}

} // namespace
