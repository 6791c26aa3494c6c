#include "FormView.h"

#include "Dpi.h"
#include "FrameWnd.h"
#include "WindowPlacement.h"

#include <algorithm>

namespace {

// One step of the arrows of a scroll bar, in pixels at 96 DPI.
constexpr int kScrollLine = 16;

// Keyboard focus moves without telling the form (Tab, mnemonics, a page's own
// SetFocus). The thread's CBT hook hears of each move before it happens, and
// the nearest form around the window about to have the focus brings it into
// view at once, before anything is drawn with the focus out of sight.
LRESULT CALLBACK OnCbtEvent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_SETFOCUS) {
        HWND window = reinterpret_cast<HWND>(wParam);
        for (HWND parent = ::GetAncestor(window, GA_PARENT); parent != nullptr;
             parent = ::GetAncestor(parent, GA_PARENT)) {
            if (auto* form = dynamic_cast<CFormView*>(CWnd::FromHandle(parent))) {
                form->ScrollIntoView(window);
                break;
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The bar's range is the form, its page what the client area shows of it.
// Wine hides a bar only when its range or page changes, so it is shown or
// hidden here.
void SetBar(HWND window, int bar, LONG form, LONG page, LONG position, bool shown) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = static_cast<int>(form) - 1;
    info.nPage = static_cast<UINT>(std::max<LONG>(page, 0));
    info.nPos = static_cast<int>(position);
    ::SetScrollInfo(window, bar, &info, TRUE);
    ::ShowScrollBar(window, bar, shown);
}

// The start of a span [start, end) moved as little as needed into the window
// [first, first + length); its start wins when it is longer.
LONG SpanIntoView(LONG start, LONG end, LONG first, LONG length) {
    if (end > first + length)
        first = end - length;
    return std::min(first, start);
}

} // namespace

constexpr MessageMap CFormView::messageMap{&CView::messageMap,
                                           {
                                               {WM_SIZE, 0, 0, On<&CFormView::OnSize>},
                                               {WM_HSCROLL, 0, 0, On<&CFormView::OnHScroll>},
                                               {WM_VSCROLL, 0, 0, On<&CFormView::OnVScroll>},
                                               {WM_MOUSEWHEEL, 0, 0, On<&CFormView::OnMouseWheel>},
                                           }};

CFormView::CFormView(UINT templateId) : m_nIDTemplate(templateId) {}

CFormView::~CFormView() {
    if (m_focusHook)
        ::UnhookWindowsHookEx(m_focusHook);
}

BOOL CFormView::CreateView(CFrameWnd* frame, UINT id, CDocument* document) {
    m_pDocument = document;
    if (frame == nullptr || !CreateDialogWindow(m_nIDTemplate, frame->m_hWnd))
        return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWLP_ID, static_cast<LONG_PTR>(id));
    RECT rect{};
    GetWindowRect(&rect);
    m_formSize = {rect.right - rect.left, rect.bottom - rect.top};
    m_formDpi = DpiForWindow(m_hWnd);
    m_dpi = m_formDpi;
    if (!m_focusHook)
        m_focusHook = ::SetWindowsHookExA(WH_CBT, OnCbtEvent, nullptr, ::GetCurrentThreadId());
    ShowWindow(SW_SHOW);
    return TRUE;
}

SIZE CFormView::FormSize() const {
    return {::MulDiv(m_formSize.cx, m_dpi, m_formDpi), ::MulDiv(m_formSize.cy, m_dpi, m_formDpi)};
}

void CFormView::ResizeParentToFit() {
    CFrameWnd* frame = GetParentFrame();
    if (frame == nullptr)
        return;
    const SIZE form = FormSize();
    const RECT workArea = WorkAreaOf(frame->m_hWnd);
    // A second pass when the first changed the frame's borders: a menu bar
    // that wraps in a narrower frame takes client height.
    for (int pass = 0; pass < 2; ++pass) {
        RECT client{};
        frame->GetClientRect(&client);
        RECT window{};
        frame->GetWindowRect(&window);
        const LONG width = std::min((window.right - window.left) - client.right + form.cx,
                                    workArea.right - workArea.left);
        const LONG height = std::min((window.bottom - window.top) - client.bottom + form.cy +
                                         frame->GetStatusBarHeight(),
                                     workArea.bottom - workArea.top);
        if (width == window.right - window.left && height == window.bottom - window.top)
            break;
        frame->SetWindowPos(nullptr, 0, 0, width, height,
                            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    frame->RecalcLayout();
    KeepWindowInsideWorkArea(frame->m_hWnd);
    UpdateScrollBars();
}

// Showing one bar narrows the client area and may call for the other: the
// bars are chosen from the area the view has with neither.
void CFormView::UpdateScrollBars() {
    if (m_updatingBars || m_hWnd == nullptr || m_formDpi == 0)
        return;
    m_updatingBars = true;
    const SIZE form = FormSize();
    const int barWidth = ::GetSystemMetrics(SM_CXVSCROLL);
    const int barHeight = ::GetSystemMetrics(SM_CYHSCROLL);
    RECT client{};
    GetClientRect(&client);
    const DWORD style = GetStyle();
    const LONG width = client.right + ((style & WS_VSCROLL) ? barWidth : 0);
    const LONG height = client.bottom + ((style & WS_HSCROLL) ? barHeight : 0);
    bool across = form.cx > width;
    const bool down = form.cy > (across ? height - barHeight : height);
    across = across || (down && form.cx > width - barWidth);
    SetBar(m_hWnd, SB_HORZ, form.cx, width - (down ? barWidth : 0), m_scroll.x, across);
    SetBar(m_hWnd, SB_VERT, form.cy, height - (across ? barHeight : 0), m_scroll.y, down);
    m_updatingBars = false;
    ScrollTo(m_scroll);
}

void CFormView::ScrollTo(POINT position) {
    const SIZE form = FormSize();
    RECT client{};
    GetClientRect(&client);
    const POINT target{std::clamp<LONG>(position.x, 0, std::max<LONG>(form.cx - client.right, 0)),
                       std::clamp<LONG>(position.y, 0, std::max<LONG>(form.cy - client.bottom, 0))};
    const int dx = static_cast<int>(m_scroll.x - target.x);
    const int dy = static_cast<int>(m_scroll.y - target.y);
    if (dx == 0 && dy == 0)
        return;
    m_scroll = target;
    // Every child moves, those outside the client area too, so that the form
    // keeps its shape wherever it is scrolled to.
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect{};
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 1);
        ::SetWindowPos(child, nullptr, rect.left + dx, rect.top + dy, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::SetScrollPos(m_hWnd, SB_HORZ, static_cast<int>(target.x), TRUE);
    ::SetScrollPos(m_hWnd, SB_VERT, static_cast<int>(target.y), TRUE);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CFormView::ScrollIntoView(HWND descendant) {
    if (descendant == nullptr || !::IsChild(m_hWnd, descendant))
        return;
    RECT rect{};
    ::GetWindowRect(descendant, &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    RECT client{};
    GetClientRect(&client);
    ScrollTo(
        {SpanIntoView(rect.left + m_scroll.x, rect.right + m_scroll.x, m_scroll.x, client.right),
         SpanIntoView(rect.top + m_scroll.y, rect.bottom + m_scroll.y, m_scroll.y, client.bottom)});
}

void CFormView::OnScroll(int bar, UINT code) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    if (!::GetScrollInfo(m_hWnd, bar, &info))
        return;
    const int line = ScaleForDpi(kScrollLine, m_dpi);
    int position = info.nPos;
    switch (code) {
    case SB_LINEUP:
        position -= line;
        break;
    case SB_LINEDOWN:
        position += line;
        break;
    case SB_PAGEUP:
        position -= static_cast<int>(info.nPage);
        break;
    case SB_PAGEDOWN:
        position += static_cast<int>(info.nPage);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        position = info.nTrackPos;
        break;
    case SB_TOP:
        position = info.nMin;
        break;
    case SB_BOTTOM:
        position = info.nMax;
        break;
    default:
        return;
    }
    POINT target = m_scroll;
    (bar == SB_HORZ ? target.x : target.y) = position;
    ScrollTo(target);
}

// The wheel scrolls the form up and down by the lines the user chose; a form
// that fits leaves the wheel to its frame.
LRESULT CFormView::OnMouseWheel(WPARAM wParam, LPARAM) {
    if (!(GetStyle() & WS_VSCROLL))
        return Default();
    UINT lines = 3;
    ::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    RECT client{};
    GetClientRect(&client);
    const int step = lines == WHEEL_PAGESCROLL
                         ? static_cast<int>(client.bottom)
                         : static_cast<int>(lines) * ScaleForDpi(kScrollLine, m_dpi);
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    ScrollTo({m_scroll.x, m_scroll.y - ::MulDiv(delta, step, WHEEL_DELTA)});
    return 0;
}

BOOL CFormView::PreCreateWindow(CREATESTRUCTA& cs) {
    cs.style = (cs.style & ~static_cast<LONG>(WS_POPUP | WS_CAPTION | WS_THICKFRAME)) |
               static_cast<LONG>(WS_CHILD | WS_BORDER);
    cs.dwExStyle |= WS_EX_CONTROLPARENT;
    return TRUE;
}
