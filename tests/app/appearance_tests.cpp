#include "window_harness.h"

#include "scripts/font_check/realised_font.h"
#include "setups/control_ids.h"

#include <ios>

namespace {

using Appearance = MainWindowTest;

// What the setups list really draws with, whatever face the platform picks for its
// request: fixed pitch, and not squeezed below the face's design width. Windows draws it in
// its raster Courier at 13 x 8; a Wine that squeezes its bitmap Courier into the 6 pixels
// asked for fails here.
TEST_F(Appearance, setupsListDrawsInAFixedPitchFaceAtItsDesignWidth) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control(ID_SETUP_LIST), WM_GETFONT, 0, 0));
    LOGFONTA request = {};
    ASSERT_NE(GetObjectA(font, sizeof request, &request), 0);
    HDC dc = GetDC(control(ID_SETUP_LIST));
    RealisedFont realised = {};
    bool measured = realiseFont(dc, request, &realised);
    ReleaseDC(control(ID_SETUP_LIST), dc);

    ASSERT_TRUE(measured);
    EXPECT_TRUE(isLegibleFixedPitch(realised))
        << realised.face << " " << realised.metrics.tmHeight << "x"
        << realised.metrics.tmAveCharWidth << ", design width " << realised.designWidth
        << ", pitch and family 0x" << std::hex << int{realised.metrics.tmPitchAndFamily};
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
