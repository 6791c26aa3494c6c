#include "DropOutGraph.h"

#include "Clock.h"
#include "Dpi.h"
#include "WindowHandle.h"

#include <algorithm>
#include <new>

namespace {

using Minute = DropOutHistory::Minute;

// Design values at 96 DPI.
constexpr int kMargin = 4; // around everything, room for the focus rectangle
constexpr int kLine = 1;   // axes, ticks, the space between bars, a jump's outline
constexpr int kTick = 3;
constexpr int kLabelGap = 3; // between a label and its tick

// What the control keeps, pointed to by its window extra bytes.
struct GraphState {
    std::vector<Minute> Minutes;
    HFONT Font = nullptr; // the dialog's, sent with WM_SETFONT
};

// Where painting and DropOutGraphPlot agree things go.
struct Layout {
    UINT Dpi;
    RECT Client;
    RECT Plot;
    uint64_t ScaleMax;
    int TextHeight;
};

GraphState* StateOf(HWND graph) {
    return reinterpret_cast<GraphState*>(::GetWindowLongPtrA(graph, 0));
}

HFONT FontOf(const GraphState& state) {
    return state.Font ? state.Font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

int TextWidth(HDC dc, const std::string& text) {
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

void PutText(HDC dc, const std::string& text, int left, int top) {
    ::TextOutA(dc, left, top, text.c_str(), static_cast<int>(text.size()));
}

void FillSolid(HDC dc, const RECT& rect, int colour) {
    ::FillRect(dc, &rect, ::GetSysColorBrush(colour));
}

// Lays out for the font selected into dc.
Layout LayOut(HWND graph, HDC dc, const GraphState& state) {
    Layout layout{};
    layout.Dpi = DpiForWindow(graph);
    ::GetClientRect(graph, &layout.Client);
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc, &metrics);
    layout.TextHeight = metrics.tmHeight;
    layout.ScaleMax = GraphScaleMax(state.Minutes);
    const int margin = ScaleForDpi(kMargin, layout.Dpi);
    const int axis = ScaleForDpi(kLine + kTick, layout.Dpi);
    const RECT& client = layout.Client;
    RECT& plot = layout.Plot;
    // The scale's labels on the left, half a line above the top for the
    // label of the maximum, and a line of times below.
    plot.left = client.left + margin + TextWidth(dc, std::to_string(layout.ScaleMax)) +
                ScaleForDpi(kLabelGap, layout.Dpi) + axis;
    plot.top = client.top + margin + layout.TextHeight / 2;
    plot.right = std::max(plot.left, client.right - margin);
    plot.bottom = std::max(plot.top, client.bottom - margin - layout.TextHeight - axis);
    return layout;
}

// A count above zero always shows, however tall the scale.
LONG BarTop(const RECT& plot, uint32_t dropOuts, uint64_t scaleMax) {
    const uint64_t height = static_cast<uint64_t>(plot.bottom - plot.top);
    const uint64_t rise = std::max<uint64_t>(height * dropOuts / scaleMax, 1);
    return plot.bottom - static_cast<LONG>(std::min(rise, height));
}

void DrawMinute(HDC dc, const RECT& column, const Minute& minute, const Layout& layout) {
    if (!minute.Asked) {
        // Hatched, so that not knowing never looks like none.
        HBRUSH hatch = ::CreateHatchBrush(HS_BDIAGONAL, ::GetSysColor(COLOR_GRAYTEXT));
        if (hatch) {
            ::FillRect(dc, &column, hatch);
            ::DeleteObject(hatch);
        }
        return;
    }
    const int line = ScaleForDpi(kLine, layout.Dpi);
    RECT bar = column;
    if (bar.right - bar.left > 2 * line)
        bar.right -= line;
    if (minute.Jump) {
        // A hollow column the plot's height, never a bar of the scale.
        HPEN pen = ::CreatePen(PS_INSIDEFRAME, line, ::GetSysColor(COLOR_WINDOWTEXT));
        HGDIOBJ oldPen = ::SelectObject(dc, pen);
        HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
        ::Rectangle(dc, bar.left, bar.top, bar.right, bar.bottom);
        ::SelectObject(dc, oldBrush);
        ::DeleteObject(::SelectObject(dc, oldPen));
    }
    if (minute.DropOuts == 0 || bar.bottom <= bar.top)
        return;
    bar.top = BarTop(bar, minute.DropOuts, layout.ScaleMax);
    FillSolid(dc, bar, COLOR_HIGHLIGHT);
}

void DrawScale(HDC dc, const Layout& layout) {
    const RECT& plot = layout.Plot;
    const int line = ScaleForDpi(kLine, layout.Dpi);
    const int tick = ScaleForDpi(kTick, layout.Dpi);
    const LONG axis = plot.left - line;
    FillSolid(dc, RECT{axis, plot.top, plot.left, plot.bottom + line}, COLOR_WINDOWTEXT);
    FillSolid(dc, RECT{axis, plot.bottom, plot.right, plot.bottom + line}, COLOR_WINDOWTEXT);
    FillSolid(dc, RECT{axis - tick, plot.top, axis, plot.top + line}, COLOR_WINDOWTEXT);
    FillSolid(dc, RECT{axis - tick, plot.bottom, axis, plot.bottom + line}, COLOR_WINDOWTEXT);
    // Right-aligned to the ticks, each centred on its line.
    const int right = axis - tick - ScaleForDpi(kLabelGap, layout.Dpi);
    const std::string top = std::to_string(layout.ScaleMax);
    PutText(dc, top, right - TextWidth(dc, top), plot.top - layout.TextHeight / 2);
    PutText(dc, "0", right - TextWidth(dc, "0"), plot.bottom - layout.TextHeight / 2);
}

void DrawTimeMarks(HDC dc, const Layout& layout, const std::vector<Minute>& minutes) {
    const RECT& plot = layout.Plot;
    const int line = ScaleForDpi(kLine, layout.Dpi);
    const int tick = ScaleForDpi(kTick, layout.Dpi);
    LONG room = layout.Client.left; // where the next label may start
    for (size_t index : TimeMarkMinutes(minutes)) {
        const LONG x = MinuteColumn(plot, index, minutes.size()).left;
        FillSolid(dc, RECT{x, plot.bottom + line, x + line, plot.bottom + line + tick},
                  COLOR_WINDOWTEXT);
        const std::string text = LocalTimeText(minutes[index].Start);
        const int width = TextWidth(dc, text);
        const LONG left =
            std::max(std::min(x - width / 2, layout.Client.right - width), layout.Client.left);
        if (left < room)
            continue; // a narrow graph shows the labels that fit
        PutText(dc, text, left, plot.bottom + line + tick);
        room = left + width + ScaleForDpi(kLabelGap, layout.Dpi);
    }
}

void Paint(HWND graph, HDC dc, const GraphState& state) {
    HGDIOBJ oldFont = ::SelectObject(dc, FontOf(state));
    const Layout layout = LayOut(graph, dc, state);
    FillSolid(dc, layout.Client, COLOR_WINDOW);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    for (size_t i = 0; i < state.Minutes.size(); ++i)
        DrawMinute(dc, MinuteColumn(layout.Plot, i, state.Minutes.size()), state.Minutes[i],
                   layout);
    DrawScale(dc, layout);
    DrawTimeMarks(dc, layout, state.Minutes);
    const bool hideFocus = ::SendMessageA(graph, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS;
    if (::GetFocus() == graph && !hideFocus)
        ::DrawFocusRect(dc, &layout.Client);
    ::SelectObject(dc, oldFont);
}

// Painted whole into a bitmap first, so that the bars never flicker.
void PaintBuffered(HWND graph, const GraphState& state) {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(graph, &paint);
    RECT client{};
    ::GetClientRect(graph, &client);
    HDC memory = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(dc, client.right, client.bottom);
    if (memory && bitmap) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        Paint(graph, memory, state);
        ::BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, old);
    } else {
        Paint(graph, dc, state); // flickering beats nothing
    }
    if (bitmap)
        ::DeleteObject(bitmap);
    if (memory)
        ::DeleteDC(memory);
    ::EndPaint(graph, &paint);
}

LRESULT CALLBACK GraphProcedure(HWND graph, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        GraphState* state = new (std::nothrow) GraphState;
        if (!state)
            return FALSE;
        ::SetWindowLongPtrA(graph, 0, reinterpret_cast<LONG_PTR>(state));
        return ::DefWindowProcA(graph, message, wParam, lParam);
    }
    GraphState* state = StateOf(graph);
    if (!state)
        return ::DefWindowProcA(graph, message, wParam, lParam);
    switch (message) {
    case WM_NCDESTROY:
        ::SetWindowLongPtrA(graph, 0, 0);
        delete state;
        break;
    case WM_PAINT:
        PaintBuffered(graph, *state);
        return 0;
    case WM_PRINTCLIENT:
        Paint(graph, reinterpret_cast<HDC>(wParam), *state);
        return 0;
    case WM_ERASEBKGND:
        return 1; // painting fills every pixel
    case WM_SETFONT:
        state->Font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            ::InvalidateRect(graph, nullptr, FALSE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(state->Font);
    case WM_GETDLGCODE:
        return 0; // a tab stop to read, no keys of its own
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE: // the focus rectangle shows or goes
        ::InvalidateRect(graph, nullptr, FALSE);
        break;
    }
    return ::DefWindowProcA(graph, message, wParam, lParam);
}

} // namespace

bool RegisterDropOutGraphClass() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    // Global, so that dialogs find it whichever module holds their template.
    wc.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &GraphProcedure;
    wc.cbWndExtra = sizeof(GraphState*);
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kDropOutGraphClass;
    return ::RegisterClassExA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void SetDropOutGraph(HWND graph, const std::vector<Minute>& minutes,
                     const std::string& description) {
    GraphState* state = StateOf(graph);
    if (!state)
        return;
    // The page hands the hour over every second; it paints again only when
    // it changed, at the latest when a new minute comes.
    const auto same = [](const Minute& a, const Minute& b) {
        return a.Start == b.Start && a.DropOuts == b.DropOuts && a.Asked == b.Asked &&
               a.Jump == b.Jump;
    };
    if (!std::equal(minutes.begin(), minutes.end(), state->Minutes.begin(), state->Minutes.end(),
                    same)) {
        state->Minutes = minutes;
        ::InvalidateRect(graph, nullptr, FALSE);
    }
    if (CWindowHandle(graph).GetWindowText() == description)
        return; // a screen reader hears of changes only
    ::SetWindowTextA(graph, description.c_str());
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, graph, OBJID_CLIENT, CHILDID_SELF);
}

uint64_t NiceScaleMax(uint32_t largest) {
    for (uint64_t decade = 1;; decade *= 10)
        for (uint64_t step : {1u, 2u, 5u})
            if (step * decade >= largest)
                return step * decade;
}

uint64_t GraphScaleMax(const std::vector<Minute>& minutes) {
    uint32_t largest = 0;
    for (const Minute& minute : minutes)
        if (minute.Asked)
            largest = std::max(largest, minute.DropOuts);
    return NiceScaleMax(largest);
}

std::vector<size_t> TimeMarkMinutes(const std::vector<Minute>& minutes) {
    std::vector<size_t> marks;
    SYSTEMTIME local{};
    for (size_t i = 0; i < minutes.size(); ++i)
        if (ToLocalTime(minutes[i].Start, local) && local.wMinute % 15 == 0)
            marks.push_back(i);
    return marks;
}

RECT DropOutGraphPlot(HWND graph) {
    const GraphState* state = StateOf(graph);
    HDC dc = state ? ::GetDC(graph) : nullptr;
    if (!dc)
        return RECT{};
    HGDIOBJ oldFont = ::SelectObject(dc, FontOf(*state));
    const RECT plot = LayOut(graph, dc, *state).Plot;
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(graph, dc);
    return plot;
}

RECT MinuteColumn(const RECT& plot, size_t index, size_t count) {
    const int width = plot.right - plot.left;
    const auto edge = [&](size_t i) {
        return plot.left + ::MulDiv(width, static_cast<int>(i), static_cast<int>(count));
    };
    return RECT{edge(index), plot.top, edge(index + 1), plot.bottom};
}
