// The painted face of the main window, the caption title and the progress
// arc.
#include "UnitFrmMain.h"

#include "WebAddress.h"

#include "foundation/UnitImport.h"
#include "foundation/UnitLanguage.h"

#include <cmath>
#include <cstddef>

namespace {

const char* const TitleText = "Fendrix light 4.0";
const COLORREF ProgressColour = RGB(120, 192, 120);

// A pen selected into a device context for one scope; the previous pen is
// restored and this one deleted when it goes.
class TSelectedPen {
public:
    TSelectedPen(HDC dc, int width, COLORREF colour)
        : Dc(dc), Pen(CreatePen(PS_SOLID, width, colour)), Previous(SelectObject(dc, Pen)) {}
    ~TSelectedPen() {
        SelectObject(Dc, Previous);
        DeleteObject(Pen);
    }
    TSelectedPen(const TSelectedPen&) = delete;
    TSelectedPen& operator=(const TSelectedPen&) = delete;

private:
    HDC Dc;
    HPEN Pen;
    HGDIOBJ Previous;
};

void PaintGradient(HDC dc) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    double r = GetRValue(face), g = GetGValue(face), b = GetBValue(face);
    const double dr = (166 - r) / ClientWidth, dg = (202 - g) / ClientWidth, db = (240 - b) / ClientWidth;
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(int(r), int(g), int(b)));
    const HGDIOBJ previous = SelectObject(dc, pen);
    for (int i = 0; i <= ClientWidth; ++i) {
        if (i % 2 == 1) {
            MoveToEx(dc, i + 50, 0, nullptr);
            LineTo(dc, i - 50, ClientHeight);
        }
        r += dr;
        g += dg;
        b += db;
        if (i % 2 == 1) {
            HPEN next = CreatePen(PS_SOLID, 2, RGB(int(r), int(g), int(b)));
            SelectObject(dc, next);
            DeleteObject(pen);
            pen = next;
        }
    }
    SelectObject(dc, previous);
    DeleteObject(pen);
}

void PaintRim(HDC dc) {
    const int y3 = (3 * (CaptionHeight + ClientHeight)) / 5 - CaptionHeight;
    const int y4 = (2 * (CaptionHeight + ClientHeight)) / 5 - CaptionHeight;
    struct TRimArc {
        int Colour;
        int Out;  // pixels outside the window's own ellipse
        bool Lower;
    };
    const TRimArc arcs[] = {
        {COLOR_BTNSHADOW, 0, true},
        {COLOR_3DDKSHADOW, 1, true},
        {COLOR_BTNHIGHLIGHT, 0, false},
        {COLOR_3DLIGHT, 1, false},
    };
    for (const TRimArc& a : arcs) {
        TSelectedPen pen(dc, 3, GetSysColor(a.Colour));
        const int left = -a.Out, top = -CaptionHeight - a.Out, right = ClientWidth + a.Out,
                  bottom = ClientHeight + a.Out;
        if (a.Lower)
            Arc(dc, left, top, right, bottom, 0, y3, ClientWidth, y4);
        else
            Arc(dc, left, top, right, bottom, ClientWidth, y4, 0, y3);
    }
}

void PaintSeparator(HDC dc) {
    RECT line{39, 86, 383, 86};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
}

// The gap between a label and the control it names.
constexpr int LabelGap = 5;

// Where a left-aligned label starts: at x while it ends LabelGap pixels
// before its control or earlier, else just so far left that it does. A
// longer translation then stays whole instead of running under the control,
// and a text that fits keeps its place.
int LabelLeftBefore(HDC dc, const std::string& text, int x, int controlLeft) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    const int end = controlLeft - LabelGap;
    return x + size.cx > end ? end - size.cx : x;
}

void PaintLabel(HDC dc, const std::string& text, COLORREF colour, UINT align, int x, int y) {
    SetTextColor(dc, colour);
    SetTextAlign(dc, align | TA_TOP);
    TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

void PaintLabels(HDC dc, HFONT font, const std::string& webAddress) {
    const HGDIOBJ previousFont = SelectObject(dc, font);
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const UINT previousAlign = GetTextAlign(dc);
    const COLORREF previousColour = GetTextColor(dc);
    const COLORREF black = RGB(0, 0, 0);
    PaintLabel(dc, LangText(msgSourceLabel), black, TA_CENTER, 211, 10);
    const std::string outputLabel = LangText(msgOutputLabel);
    PaintLabel(dc, outputLabel, black, TA_LEFT, LabelLeftBefore(dc, outputLabel, 55, OutputFieldLeft), 60);
    PaintLabel(dc, LangText(msgOnlyForSplitting), GetSysColor(COLOR_GRAYTEXT), TA_LEFT, 39, 90);
    PaintLabel(dc, LangText(msgSizeLabel), black, TA_RIGHT, 217, 102);
    PaintLabel(dc, LangText(msgCopyProgramLabel), black, TA_LEFT, 75, 126);
    PaintLabel(dc, LangText(msgCreateBatchLabel), black, TA_LEFT, 93, 144);
    const std::string host = HostNameOf(webAddress);
    if (!host.empty())
        PaintLabel(dc, host, RGB(0, 0, 255), TA_CENTER, 211, 200);
    SetTextColor(dc, previousColour);
    SetTextAlign(dc, previousAlign);
    SetBkMode(dc, previousMode);
    SelectObject(dc, previousFont);
}

// The caption bar's font, as the system describes it.
HFONT CreateCaptionFont() {
    NONCLIENTMETRICSA metrics{};
    // The record as it was before the padded-border member: older systems
    // refuse the longer one.
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        return nullptr;
    return CreateFontIndirectA(&metrics.lfCaptionFont);
}

}  // namespace

void TFrmMain::PaintFace(HDC dc) {
    PaintGradient(dc);
    PaintRim(dc);
    PaintSeparator(dc);
    PaintLabels(dc, GuiFont, WebAddress);
}

void TFrmMain::PaintClient(HDC dc) {
    PaintFace(dc);
    PaintProgress(dc);
}

void TFrmMain::WMPaint(TMessage& message) {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(Handle, &ps);
    if (dc)
        PaintClient(dc);
    EndPaint(Handle, &ps);
    message.Result = 0;
}

void TFrmMain::WMNCActivate(TMessage& message) {
    message.Result = DefWindowProcA(Handle, message.Msg, message.WParam, message.LParam);
    Active = message.WParam != 0;
    PaintTitle();
}

void TFrmMain::WMNCPaint(TMessage& message) {
    message.Result = DefWindowProcA(Handle, message.Msg, message.WParam, message.LParam);
    PaintTitle();
}

void TFrmMain::PaintTitle() {
    const COLORREF colour = GetSysColor(Active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT);
    const HFONT font = CreateCaptionFont();
    const HDC dc = GetWindowDC(Handle);
    if (!dc) {
        if (font)
            DeleteObject(font);
        return;
    }
    const HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_CENTER | TA_TOP);
    TextOutA(dc, 211, 7, TitleText, static_cast<int>(std::char_traits<char>::length(TitleText)));
    if (previous)
        SelectObject(dc, previous);
    if (font)
        DeleteObject(font);
    ReleaseDC(Handle, dc);
}

void TFrmMain::SetProgressTotal(int64_t total) {
    ProgressTotal = total;
    SetProgressPosition(0);
}

void TFrmMain::SetProgressPosition(int64_t position) {
    const int64_t v = Min64(position, ProgressTotal);
    const double d = std::fabs(static_cast<double>(v) - static_cast<double>(ProgressPosition));
    if (static_cast<double>(ProgressTotal) / 100.0 >= d)
        return;
    const int64_t drawn = ProgressPosition;
    ProgressPosition = v;
    if (v <= 0) {
        // The next WM_PAINT erases the arc with the whole face.
        InvalidateRgn(Handle, nullptr, TRUE);
        return;
    }
    // The face is painted first if it is due; then only the piece by which
    // the arc grew is drawn onto it. A whole arc costs milliseconds in the
    // wide-pen drawing code, a hundred times per job.
    UpdateWindow(Handle);
    const HDC dc = GetDC(Handle);
    if (!dc)
        return;
    if (drawn > 0 && drawn < v)
        PaintArc(dc, drawn, v);
    else
        PaintArc(dc, 0, v);
    ReleaseDC(Handle, dc);
}

void TFrmMain::PaintProgress(HDC dc) {
    if (ProgressPosition <= 0 || ProgressTotal <= 0)
        return;
    PaintArc(dc, 0, ProgressPosition);
}

void TFrmMain::PaintArc(HDC dc, int64_t from, int64_t to) {
    // The arc starts at the upper left (3/4 pi) and covers 3/2 pi at the
    // total; its ends are the rays through points at radius 100 around
    // (211, 115).
    const long double pi = 3.14159265358979323846264338327950288L;
    const long double a0 = 3 * pi / 4;
    const long double perUnit = 3 * pi / 2 / ProgressTotal;
    const long double a1 = a0 + perUnit * from;
    const long double a2 = a0 + perUnit * to;
    const int x1 = static_cast<int>(std::cos(a1) * 100), y1 = static_cast<int>(std::sin(a1) * 100);
    const int x2 = static_cast<int>(std::cos(a2) * 100), y2 = static_cast<int>(std::sin(a2) * 100);
    // Equal ends would draw the whole ellipse.
    if (x1 == x2 && y1 == y2)
        return;
    TSelectedPen pen(dc, 3, ProgressColour);
    Arc(dc, 6, 6 - CaptionHeight, 416, 224, 211 + x1, 115 - y1, 211 + x2, 115 - y2);
}
