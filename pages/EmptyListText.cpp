#include "EmptyListText.h"

#include "CDriverSettings.h"
#include "DriverCodes.h"
#include "ResString.h"
#include "TextFormat.h"
#include "resource.h"

namespace {

std::string VersionText(uint8_t major, uint8_t minor) {
    return std::to_string(major) + "." + std::to_string(minor);
}

std::string FoundText(const DriverState& state) {
    return VersionText(state.Found.Major, state.Found.Minor);
}

std::string NeededText() {
    return VersionText(CDriver::AcceptedMajor, CDriver::LeastAcceptedMinor);
}

// "2.x": any version of the major that this program speaks.
std::string NeededSeriesText() {
    return std::to_string(CDriver::AcceptedMajor) + ".x";
}

// Win32 errors as Windows' own messages number them, the driver's and the
// program's codes as hexadecimal, the way they are looked up.
std::string ErrorText(uint32_t status) {
    if (status <= 0xFFFF)
        return std::to_string(status);
    return FormatText("0x%08X", static_cast<unsigned>(status));
}

struct ReasonTexts {
    EmptyReason Reason;
    UINT Long;
    UINT Brief;
    UINT Report;
};

const ReasonTexts kTexts[] = {
    {EmptyReason::NotInstalled, IDS_EMPTY_NOT_INSTALLED, IDS_BRIEF_NOT_INSTALLED,
     IDS_DIAG_NOT_INSTALLED},
    {EmptyReason::TooOld, IDS_EMPTY_TOO_OLD, IDS_BRIEF_TOO_OLD, IDS_DIAG_TOO_OLD},
    {EmptyReason::Unsupported, IDS_EMPTY_UNSUPPORTED, IDS_BRIEF_UNSUPPORTED, IDS_DIAG_UNSUPPORTED},
    {EmptyReason::NotResponding, IDS_DRIVER_NOT_RESPONDING, IDS_BRIEF_NOT_RESPONDING,
     IDS_DIAG_NOT_RESPONDING},
    {EmptyReason::NoInterface, IDS_EMPTY_NO_INTERFACE, IDS_BRIEF_NO_INTERFACE,
     IDS_DIAG_NO_INTERFACE},
    {EmptyReason::NotOpened, IDS_EMPTY_NOT_OPENED, IDS_BRIEF_NOT_OPENED, IDS_DIAG_NOT_OPENED},
};

// Every text takes the same values in the same order; each uses those it
// names.
std::string Text(const DriverState& state, UINT ReasonTexts::*which, LANGID language) {
    const EmptyReason reason = WhyEmpty(state);
    for (const ReasonTexts& texts : kTexts)
        if (texts.Reason == reason) {
            // Closed after it was open: no failure of its own to name.
            if (reason == EmptyReason::NotOpened)
                return FormatResString(
                    texts.*which, language,
                    {ErrorText(state.OpenStatus != 0 ? state.OpenStatus : DRVSTATUS_NOT_OPEN)});
            return FormatResString(texts.*which, language,
                                   {FoundText(state), NeededText(), NeededSeriesText()});
        }
    return std::string();
}

} // namespace

DriverState DriverState::Of(const CDriver& driver, int devices) {
    return DriverState{driver.m_hDevice != nullptr, driver.IsStalled(), driver.OpenStatus(),
                       driver.FoundVersion(), devices};
}

// A stall comes first: an open connection that does not answer tells
// nothing of its devices. A refusal without a version told (the version
// request failed) can only give its status.
EmptyReason WhyEmpty(const DriverState& state) {
    if (state.Stalled)
        return EmptyReason::NotResponding;
    if (state.Open)
        return state.Devices == 0 ? EmptyReason::NoInterface : EmptyReason::None;
    switch (state.OpenStatus) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return EmptyReason::NotInstalled;
    case DRVSTATUS_VERSION_MISMATCH:
        if (state.Found.Major == 0 && state.Found.Minor == 0)
            return EmptyReason::NotOpened;
        return state.Found.Major > CDriver::AcceptedMajor ? EmptyReason::Unsupported
                                                          : EmptyReason::TooOld;
    default:
        return EmptyReason::NotOpened;
    }
}

std::string EmptyListText(const DriverState& state, LANGID language) {
    return Text(state, &ReasonTexts::Long, language);
}

std::string BriefEmptyListText(const DriverState& state, LANGID language) {
    return Text(state, &ReasonTexts::Brief, language);
}

std::string EmptyReasonReportText(const DriverState& state, LANGID language) {
    return Text(state, &ReasonTexts::Report, language);
}

DriverState CurrentDriverState() {
    return DriverState::Of(gDrv, gDrv.m_Devices.GetSize());
}
