// What a screen reader calls the tree and every list: a control without text
// of its own is named by the label or group box just before it in the window
// order (which is the tab order).
#include "ShellFixture.h"

#include <string>

namespace {

class AccessibleNames : public ShellFixture {
protected:
    // The text of the window just before the control, with the mnemonic
    // marker left out as a screen reader reads it; empty when that window
    // is no label.
    static std::string LabelBefore(HWND control) {
        HWND label = ::GetWindow(control, GW_HWNDPREV);
        char name[32] = {};
        ::GetClassNameA(label, name, sizeof name);
        const LONG_PTR style = ::GetWindowLongPtrA(label, GWL_STYLE);
        const bool isLabel =
            std::string(name) == "Static" ||
            (std::string(name) == "Button" && (style & BS_TYPEMASK) == BS_GROUPBOX);
        if (!label || !isLabel)
            return std::string();
        char text[256] = {};
        ::GetWindowTextA(label, text, sizeof text);
        std::string read;
        for (const char* c = text; *c; ++c)
            if (*c != '&')
                read += *c;
        return read;
    }
};

TEST_F(AccessibleNames, TreeAndListsAreNamedByTheLabelBeforeThem) {
    OpenShell();
    struct Expected {
        HWND control;
        const char* name;
    };
    const Expected expected[] = {
        {view->m_Tree.m_hWnd, "Pages"},
        {view->m_PgDevices.GetDlgItem(IDC_DEVICE_LIST), "Devices"},
        {view->m_PgInChannels.GetDlgItem(IDC_CHANNEL_LIST), "Input Channels"},
        {view->m_PgOutChannels.GetDlgItem(IDC_CHANNEL_LIST), "Output Channels"},
        {view->m_PgSamplingRate.GetDlgItem(IDC_SYNCH_LIST), "Synchronisation Settings"},
        {view->m_PgSamplingRate.GetDlgItem(IDC_SAMPLING_RATE_COMBO), "Sampling Rate"},
        {view->m_PgStreams.GetDlgItem(IDC_STREAM_LIST), "Streams"},
        {view->m_PgInChannels.GetDlgItem(IDC_HARDWARE_NAME), "Hardware name of selected channel:"},
        {view->m_PgBuffers.GetDlgItem(IDC_WDM_BUFFER_SLIDER), "WDM sound buffer depth:"},
        {view->m_PgDropOuts.GetDlgItem(IDC_DROPOUT_GRAPH),
         "Drop-outs per minute in the last 60 minutes:"},
        {view->m_PgDropOuts.GetDlgItem(IDC_DROPOUT_EVENTS), "Drop-out events"},
    };
    for (const Expected& entry : expected) {
        SCOPED_TRACE(entry.name);
        ASSERT_NE(nullptr, entry.control);
        EXPECT_EQ(entry.name, LabelBefore(entry.control));
    }
}

// The hidden labels stay hidden: the pages look as they did.
TEST_F(AccessibleNames, NameOnlyLabelsAreNeverShown) {
    OpenShell();
    for (HWND control : {view->m_Tree.m_hWnd, view->m_PgDevices.GetDlgItem(IDC_DEVICE_LIST),
                         view->m_PgInChannels.GetDlgItem(IDC_CHANNEL_LIST),
                         view->m_PgStreams.GetDlgItem(IDC_STREAM_LIST),
                         view->m_PgDropOuts.GetDlgItem(IDC_DROPOUT_EVENTS)}) {
        HWND label = ::GetWindow(control, GW_HWNDPREV);
        EXPECT_EQ(0, ::GetWindowLongPtrA(label, GWL_STYLE) & WS_VISIBLE);
    }
}

} // namespace
