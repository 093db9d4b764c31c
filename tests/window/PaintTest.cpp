// The painted face: gradient, rim, separator, labels and the progress arc,
// checked in a rendering of the client area and on the window itself; the
// caption title in both activation states.
#include "WindowFixture.h"

#include "foundation/UnitLanguage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using TWindowPainting = TWindowTest;

const COLORREF ArcGreen = RGB(120, 192, 120);

int Component(COLORREF c, int i) {
    return i == 0 ? GetRValue(c) : i == 1 ? GetGValue(c) : GetBValue(c);
}

// The catalogue's language for one scope.
class TLanguage {
public:
    explicit TLanguage(const std::string& code) : Saved(LanguageCode) { LanguageCode = code; }
    ~TLanguage() { LanguageCode = Saved; }
    TLanguage(const TLanguage&) = delete;
    TLanguage& operator=(const TLanguage&) = delete;

private:
    std::string Saved;
};

int TextWidth(HFONT font, const std::string& text) {
    HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return size.cx;
}

// Columns (right excluded) that hold pixels of a colour in a band of rows.
struct TInk {
    int Left = ClientWidth, Right = 0;
};

TInk InkIn(const TClientRendering& face, int left, int top, int right, int bottom, COLORREF colour) {
    TInk ink;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (face.Pixel(x, y) == colour) {
                ink.Left = std::min(ink.Left, x);
                ink.Right = std::max(ink.Right, x + 1);
            }
    return ink;
}

}  // namespace

TEST_F(TWindowPainting, GradientRunsFromTheButtonFaceToLightBlue) {
    StartWindow();
    TClientRendering face(*Frm);
    const COLORREF buttonFace = GetSysColor(COLOR_BTNFACE);
    const int target[3] = {166, 202, 240};
    // At y = 160 the line of column i crosses x = i + 50 - 100 * 160 / 230.
    for (int x : {40, 60, 120, 211, 300, 360}) {
        SCOPED_TRACE("x = " + std::to_string(x));
        const int column = x - 50 + (100 * 160) / 230;
        const COLORREF c = face.Pixel(x, 160);
        for (int i = 0; i < 3; ++i) {
            const double step = (target[i] - Component(buttonFace, i)) / 422.0;
            const double expected = Component(buttonFace, i) + (column - 1) * step;
            EXPECT_NEAR(Component(c, i), expected, 2 * std::fabs(step) + 1.5) << "component " << i;
        }
    }
    // The corners that no line reaches keep the class background.
    EXPECT_EQ(face.Pixel(10, 2), buttonFace);
    EXPECT_EQ(face.Pixel(415, 228), buttonFace);
}

TEST_F(TWindowPainting, RimIsLitFromTheUpperLeft) {
    StartWindow();
    TClientRendering face(*Frm);
    struct TRow {
        const char* Name;
        int X, Y;
        int Colour;
    };
    const TRow rows[] = {
        {"bottom, inner", 211, 228, COLOR_BTNSHADOW},
        {"bottom, outer", 211, 229, COLOR_3DDKSHADOW},
        {"right middle, inner", 420, 105, COLOR_BTNSHADOW},
        {"right middle, outer", 421, 105, COLOR_3DDKSHADOW},
        {"left middle, inner", 1, 105, COLOR_BTNHIGHLIGHT},
        {"left middle, outer", 0, 105, COLOR_3DLIGHT},
        {"separator", 200, 86, COLOR_BTNSHADOW},
        {"separator highlight", 200, 87, COLOR_BTNHIGHLIGHT},
        {"separator start", 39, 86, COLOR_BTNSHADOW},
        {"separator end", 382, 86, COLOR_BTNSHADOW},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(face.Pixel(row.X, row.Y), GetSysColor(row.Colour));
    }
    EXPECT_NE(face.Pixel(36, 86), GetSysColor(COLOR_BTNSHADOW)) << "the separator starts at 39";
}

TEST_F(TWindowPainting, LabelsStandWhereTheirControlsAre) {
    StartWindow();
    TClientRendering face(*Frm);
    const COLORREF black = RGB(0, 0, 0);
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    struct TRow {
        const char* Name;
        RECT Area;
        COLORREF Colour;
        bool Present;
    };
    const TRow rows[] = {
        {"source label, centred", {100, 10, 322, 25}, black, true},
        {"source label, not at the left edge", {0, 10, 80, 25}, black, false},
        {"output label", {55, 60, 150, 74}, black, true},
        {"only for splitting", {39, 90, 140, 104}, grey, true},
        {"size label ends at 217", {180, 102, 218, 116}, black, true},
        {"nothing right of the size label", {218, 102, 260, 116}, black, false},
        {"copy label", {75, 126, 300, 140}, black, true},
        {"batch label", {93, 144, 300, 158}, black, true},
        {"no web address without one", {0, 190, ClientWidth, ClientHeight}, RGB(0, 0, 255), false},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        const int n = face.Count(row.Area.left, row.Area.top, row.Area.right, row.Area.bottom, row.Colour);
        if (row.Present)
            EXPECT_GT(n, 15);
        else
            EXPECT_EQ(n, 0);
    }
}

TEST_F(TWindowPainting, TheOutputLabelStaysWholeBeforeItsField) {
    struct TRow {
        const char* Language;
        bool TooWide;  // for the room from x = 55 to 5 pixels before the field
    };
    for (const TRow& row : {TRow{"EN", false}, TRow{"IT", true}}) {
        SCOPED_TRACE(row.Language);
        TLanguage language(row.Language);
        StartWindow();
        RECT field;
        GetWindowRect(Frm->EditOutputDir, &field);
        MapWindowPoints(HWND_DESKTOP, Frm->Handle, reinterpret_cast<POINT*>(&field), 2);
        const int end = field.left - 5;
        const int width = TextWidth(Frm->GuiFont, LangText(msgOutputLabel));
        ASSERT_EQ(55 + width > end, row.TooWide) << "the label is " << width << " pixels wide";

        TClientRendering face(*Frm);
        const TInk ink = InkIn(face, 0, 60, 340, 75, RGB(0, 0, 0));
        // A label that fits keeps its place at 55; a wider one ends 5
        // pixels before the field. The ink is a few pixels narrower than
        // the text's advance: the glyphs' side bearings.
        EXPECT_NEAR(ink.Left, row.TooWide ? end - width : 55, 2);
        EXPECT_LE(ink.Right, end) << "the field would cover the label";
        EXPECT_GE(ink.Right - ink.Left, width - 6) << "the label is drawn whole";
        TearDown();
        SetUp();
    }
}

TEST_F(TWindowPainting, TheWebAddressIsPaintedOnlyWhenThereIsOne) {
    for (const std::string address : {"", "https://www.example.org/fendrix/"}) {
        SCOPED_TRACE("web address \"" + address + "\"");
        StartWindow({}, address);
        TClientRendering face(*Frm);
        // Its host, centred over the link area.
        const int blue = face.Count(154, 196, 268, 217, RGB(0, 0, 255));
        if (address.empty())
            EXPECT_EQ(blue, 0);
        else
            EXPECT_GT(blue, 30);
        TearDown();
        SetUp();
    }
}

TEST_F(TWindowPainting, ProgressArcGrowsCounterClockwiseFromTheUpperLeft) {
    StartWindow();
    struct TRow {
        int64_t Position;
        bool Left, Bottom, Right;
    };
    const TRow rows[] = {
        {0, false, false, false},
        {300, true, false, false},
        {600, true, true, false},
        {1000, true, true, true},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE("position " + std::to_string(row.Position) + " of 1000");
        Frm->SetProgressTotal(1000);
        Frm->SetProgressPosition(row.Position);
        TClientRendering face(*Frm);
        EXPECT_EQ(face.Pixel(6, 105) == ArcGreen, row.Left);
        EXPECT_EQ(face.Pixel(211, 223) == ArcGreen, row.Bottom);
        EXPECT_EQ(face.Pixel(415, 105) == ArcGreen, row.Right);
        // The top quarter with the title label stays free.
        EXPECT_EQ(face.Count(150, 0, 272, 40, ArcGreen), 0);
        EXPECT_EQ(face.Count(0, 0, ClientWidth, ClientHeight, ArcGreen) > 0, row.Position > 0);
    }
    Frm->SetProgressTotal(0);
    TClientRendering after(*Frm);
    EXPECT_EQ(after.Count(0, 0, ClientWidth, ClientHeight, ArcGreen), 0);
}

TEST_F(TWindowPainting, TheWindowShowsTheArcAtOnceAndLosesItAfterTheJob) {
    StartWindow();
    UpdateWindow(Frm->Handle);
    HDC dc = GetDC(Frm->Handle);
    const COLORREF faceAtBottom = GetPixel(dc, 211, 223);
    EXPECT_NE(faceAtBottom, ArcGreen);
    Frm->SetProgressTotal(1000);
    Frm->SetProgressPosition(600);
    // Drawn by the progress step itself, without a WM_PAINT.
    EXPECT_EQ(GetPixel(dc, 211, 223), ArcGreen);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(Frm->Handle, &update, FALSE)) << "the arc validated the window";
    Frm->SetProgressTotal(0);
    UpdateWindow(Frm->Handle);
    EXPECT_EQ(GetPixel(dc, 211, 223), faceAtBottom);
    ReleaseDC(Frm->Handle, dc);
}

TEST_F(TWindowPainting, CaptionTitleFollowsTheActivation) {
    StartWindow();
    const COLORREF activeColour = GetSysColor(COLOR_CAPTIONTEXT);
    const COLORREF inactiveColour = GetSysColor(COLOR_INACTIVECAPTIONTEXT);
    ASSERT_NE(activeColour, inactiveColour);
    struct TRow {
        WPARAM Activate;
        bool Active;
    };
    for (const TRow& row : {TRow{1, true}, TRow{0, false}, TRow{1, true}}) {
        SCOPED_TRACE(row.Active ? "active" : "inactive");
        SendMessageA(Frm->Handle, WM_NCACTIVATE, row.Activate, 0);
        EXPECT_EQ(Frm->Active, row.Active);
        // The title, centred at x = 211 near the top of the caption bar.
        HDC dc = GetWindowDC(Frm->Handle);
        int inActive = 0, inInactive = 0;
        for (int y = 3; y < 3 + CaptionHeight; ++y)
            for (int x = 160; x < 262; ++x) {
                const COLORREF c = GetPixel(dc, x, y);
                inActive += c == activeColour;
                inInactive += c == inactiveColour;
            }
        ReleaseDC(Frm->Handle, dc);
        if (row.Active) {
            EXPECT_GT(inActive, 40);
            EXPECT_EQ(inInactive, 0);
        } else {
            EXPECT_GT(inInactive, 40);
        }
    }
}

TEST_F(TWindowPainting, ArcGrownInStepsLooksLikeTheWholeArc) {
    StartWindow();
    UpdateWindow(Frm->Handle);
    Frm->SetProgressTotal(1000);
    for (int64_t position = 0; position <= 1000; position += 23)
        Frm->SetProgressPosition(position);
    Frm->SetProgressPosition(1000);
    ASSERT_EQ(Frm->ProgressPosition, 1000);

    // The window as it stands, copied into a bitmap of the same layout as
    // the rendering of the whole face.
    TClientRendering whole(*Frm);
    HDC windowDc = GetDC(Frm->Handle);
    HDC copyDc = CreateCompatibleDC(windowDc);
    HBITMAP copy = CreateCompatibleBitmap(windowDc, ClientWidth, ClientHeight);
    HGDIOBJ old = SelectObject(copyDc, copy);
    BitBlt(copyDc, 0, 0, ClientWidth, ClientHeight, windowDc, 0, 0, SRCCOPY);
    int onWindow = 0, inRendering = 0, different = 0;
    for (int y = 0; y < ClientHeight; ++y)
        for (int x = 0; x < ClientWidth; ++x) {
            const bool a = GetPixel(copyDc, x, y) == ArcGreen;
            const bool b = whole.Pixel(x, y) == ArcGreen;
            onWindow += a;
            inRendering += b;
            different += a != b;
        }
    SelectObject(copyDc, old);
    DeleteObject(copy);
    DeleteDC(copyDc);
    ReleaseDC(Frm->Handle, windowDc);
    EXPECT_GT(inRendering, 1500);
    // Only the joints of the pieces may differ by a pixel here and there.
    EXPECT_LT(different, inRendering / 50) << onWindow << " green pixels on the window, " << inRendering
                                           << " in the rendering";
}
