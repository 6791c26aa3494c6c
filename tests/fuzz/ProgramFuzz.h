// One iteration of the fuzz: from a seed alone, a run of what a person and
// the driver do to the running program (reloads, driver events, page
// switches, list selections, every dialog and every Apply) while the
// simulated driver answers with malformed replies and failing statuses;
// then every rule of ProgramChecks.
#pragma once

#include "FuzzRandom.h"
#include "ProgramChecks.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class CIXO_CPLView;
class CMainFrame;
class CSimulator;

class ProgramFuzz {
public:
    ProgramFuzz(CMainFrame& frame, CIXO_CPLView& view);

    // The breaches found after the iteration of this seed; none when it passed.
    std::vector<std::string> RunIteration(uint64_t seed);

    // The simulated driver back to its default set-up with its connections
    // kept, and the program reloaded from it without any tampering.
    void Normalise();

    size_t TamperedRequests() const { return m_Tampered; }
    size_t DialogsClosed() const { return m_Dialogs; }

private:
    using Action = void (ProgramFuzz::*)();
    static const Action s_Actions[];

    void Reload();
    void DriverEvent();
    void SwitchPage();
    void SelectRow();
    void EditDeviceName();
    void EditChannelName();
    void ChangeSynchMode();
    void ShowAbout();
    void ApplyRanking();
    void ApplyBuffer();
    void ApplySynch();
    void ApplySamplingRate();
    void ToggleIncludeDeviceName();
    void DeviceChange();
    void PollDropOuts();

    // What the person in front of a dialog does: looks, perhaps types or
    // picks, while the driver perhaps reloads every page, then OK or Cancel.
    void OnDialog(HWND dialog);
    void QueueEvents();
    void HoldSomeRequests();
    void ChangeDevices();
    HWND RandomList();
    void SelectRandomRow(HWND list);
    std::string RandomName();
    void Click(HWND parent, int id);

    CMainFrame& m_Frame;
    CIXO_CPLView& m_View;
    CSimulator& m_Sim;
    FuzzRandom m_Random{0};
    ProgramChecks m_Checks;
    size_t m_Tampered = 0;
    size_t m_Dialogs = 0;
};
