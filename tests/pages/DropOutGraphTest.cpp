#include "DropOutGraph.h"

#include "Clock.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

using Minute = DropOutHistory::Minute;

constexpr int64_t kHourStart = 1800000000 - 1800000000 % 3600;

// A quiet hour, every minute asked, starting some minutes past a whole hour.
std::vector<Minute> QuietHour(int64_t minutesPast = 0) {
    std::vector<Minute> minutes(60);
    for (size_t i = 0; i < minutes.size(); ++i) {
        minutes[i].Start = kHourStart + (minutesPast + static_cast<int64_t>(i)) * 60;
        minutes[i].Asked = true;
    }
    return minutes;
}

// A hidden top-level window holding a graph, as a dialog would.
struct GraphWindow {
    HWND parent = nullptr;
    HWND graph = nullptr;
    GraphWindow() {
        parent = ::CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 300, nullptr,
                                   nullptr, ::GetModuleHandleA(nullptr), nullptr);
        graph = ::CreateWindowExA(0, kDropOutGraphClass, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0,
                                  0, 480, 180, parent, reinterpret_cast<HMENU>(101),
                                  ::GetModuleHandleA(nullptr), nullptr);
    }
    ~GraphWindow() { ::DestroyWindow(parent); }
};

// The graph as WM_PRINTCLIENT paints it into a bitmap.
class Rendering {
public:
    explicit Rendering(HWND graph) {
        RECT client{};
        ::GetClientRect(graph, &client);
        HDC screen = ::GetDC(nullptr);
        m_Dc = ::CreateCompatibleDC(screen);
        m_Bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
        ::ReleaseDC(nullptr, screen);
        m_Old = ::SelectObject(m_Dc, m_Bitmap);
        ::SendMessageA(graph, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_Dc), PRF_CLIENT);
    }
    ~Rendering() {
        ::SelectObject(m_Dc, m_Old);
        ::DeleteObject(m_Bitmap);
        ::DeleteDC(m_Dc);
    }
    COLORREF At(LONG x, LONG y) const { return ::GetPixel(m_Dc, x, y); }
    // How many pixels of the colour a column has between top and bottom.
    int Count(LONG x, LONG top, LONG bottom, int sysColour) const {
        int count = 0;
        for (LONG y = top; y < bottom; ++y)
            count += At(x, y) == ::GetSysColor(sysColour);
        return count;
    }

private:
    HDC m_Dc;
    HBITMAP m_Bitmap;
    HGDIOBJ m_Old;
};

LONG Middle(const RECT& column) {
    return (column.left + column.right) / 2;
}

} // namespace

TEST(DropOutGraph, TheScaleIsTheNextNiceNumberAboveTheMostRealDropOutsInAMinute) {
    const uint32_t largest[] = {0, 1, 2, 3, 5, 6, 11, 20, 21, 51, 999, 4000000000u};
    const uint64_t top[] = {1, 1, 2, 5, 5, 10, 20, 20, 50, 100, 1000, 5000000000u};
    for (size_t i = 0; i < std::size(largest); ++i)
        EXPECT_EQ(top[i], NiceScaleMax(largest[i])) << largest[i];

    std::vector<Minute> minutes = QuietHour();
    EXPECT_EQ(1u, GraphScaleMax(minutes));
    for (Minute& minute : minutes)
        minute.Asked = false;
    EXPECT_EQ(1u, GraphScaleMax(minutes));
    minutes[5] = Minute{minutes[5].Start, 0, true, true}; // a jump, no drop-outs
    minutes[9] = Minute{minutes[9].Start, 3, true, false};
    EXPECT_EQ(5u, GraphScaleMax(minutes));
}

TEST(DropOutGraph, TimeMarksFallOnLocalQuarterHoursGapsOrNot) {
    std::vector<Minute> minutes = QuietHour(7);
    minutes[15].Asked = false;
    const std::vector<size_t> marks = TimeMarkMinutes(minutes);
    ASSERT_EQ(4u, marks.size());
    EXPECT_LT(marks[0], 15u);
    for (size_t i = 0; i < marks.size(); ++i) {
        EXPECT_EQ(marks[0] + 15 * i, marks[i]);
        SYSTEMTIME local{};
        ASSERT_TRUE(ToLocalTime(minutes[marks[i]].Start, local));
        EXPECT_EQ(0, local.wMinute % 15) << i;
    }
}

TEST(DropOutGraph, DrawsBarsToScaleGapsUnlikeZeroAndJumpsFullHeight) {
    ASSERT_TRUE(RegisterDropOutGraphClass());
    ASSERT_TRUE(RegisterDropOutGraphClass());
    GraphWindow window;
    ASSERT_NE(nullptr, window.graph);
    std::vector<Minute> minutes = QuietHour();
    minutes[10].Asked = false;
    minutes[20].DropOuts = 2;
    minutes[30].DropOuts = 5;
    minutes[40].Jump = true;
    const std::string description = "7 drop-outs in the last hour, at most 5 in one minute";
    SetDropOutGraph(window.graph, minutes, description);
    minutes.clear(); // the graph keeps its own copy

    char text[128] = "";
    ::GetWindowTextA(window.graph, text, sizeof(text));
    EXPECT_EQ(description, text);

    const RECT plot = DropOutGraphPlot(window.graph);
    const LONG height = plot.bottom - plot.top;
    ASSERT_GT(height, 50);
    const auto column = [&](size_t index) { return MinuteColumn(plot, index, 60); };
    const Rendering shown(window.graph);
    // Nothing known is hatched; nothing found is empty.
    EXPECT_GT(shown.Count(Middle(column(10)), plot.top, plot.bottom, COLOR_GRAYTEXT), 0);
    EXPECT_EQ(height, shown.Count(Middle(column(11)), plot.top, plot.bottom, COLOR_WINDOW));
    // The tallest bar reaches the top of a scale of 5; 2 stand two fifths high.
    EXPECT_EQ(height, shown.Count(Middle(column(30)), plot.top, plot.bottom, COLOR_HIGHLIGHT));
    EXPECT_NE(::GetSysColor(COLOR_HIGHLIGHT), shown.At(Middle(column(30)), plot.top - 1));
    EXPECT_NEAR(height * 2 / 5,
                shown.Count(Middle(column(20)), plot.top, plot.bottom, COLOR_HIGHLIGHT), 1);
    EXPECT_EQ(height, shown.Count(column(40).left, plot.top, plot.bottom, COLOR_WINDOWTEXT));
    EXPECT_EQ(0, shown.Count(Middle(column(40)), plot.top, plot.bottom, COLOR_HIGHLIGHT));

    // On screen through WM_PAINT as in the bitmap.
    ::ShowWindow(window.parent, SW_SHOWNOACTIVATE);
    ::UpdateWindow(window.graph);
    HDC dc = ::GetDC(window.graph);
    EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), ::GetPixel(dc, Middle(column(30)), plot.top));
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), ::GetPixel(dc, Middle(column(31)), plot.top));
    ::ReleaseDC(window.graph, dc);
}

TEST(DropOutGraph, TakesItsTextSizesFromTheDialogFont) {
    ASSERT_TRUE(RegisterDropOutGraphClass());
    HFONT large = ::CreateFontA(-40, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH, "Tahoma");
    {
        GraphWindow window;
        const RECT small = DropOutGraphPlot(window.graph);
        ::SendMessageA(window.graph, WM_SETFONT, reinterpret_cast<WPARAM>(large), FALSE);
        EXPECT_EQ(reinterpret_cast<LRESULT>(large), ::SendMessageA(window.graph, WM_GETFONT, 0, 0));
        const RECT big = DropOutGraphPlot(window.graph);
        EXPECT_GT(big.left, small.left);     // a wider scale label
        EXPECT_GT(big.top, small.top);       // half a taller line above
        EXPECT_LT(big.bottom, small.bottom); // a taller line of times below
    }
    ::DeleteObject(large);
}
