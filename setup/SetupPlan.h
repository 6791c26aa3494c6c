// What loading a setup would change in the driver, against what the driver
// holds now, and the requests that make the change. Only what differs is
// sent, so a setup that matches the driver sends no request at all.
//
// The requests go in the order the driver can follow, as the pages send
// them: with the streams stopped, the clock source and master, then the
// sampling-rate mode, then each device's synchronisation mode (which
// follows the master), then the stream and WDM buffers, which take effect on
// the restart; the streams start again; then the sampling rate, which is
// only valid for the clock now in force, then the ASIO buffer; names and
// ranks last, since nothing audible depends on them and a refused name
// leaves the audio set-up whole.
#pragma once

#include "CDriver.h"
#include "Setup.h"
#include "SetupRead.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A device as the user tells it from others: "Tarnet Duo 8 (TD08-1911-0077)".
std::string SetupDeviceText(const std::string& name, const std::string& serial);

// A number (a rate, a depth, a choice, a mode's id) and a text (a name, a
// serial number, a mode's name); a setting uses what it needs.
struct SetupValue {
    SetupValue() = default;
    SetupValue(uint32_t number, std::string text, std::optional<uint32_t> modeKind = {})
        : Number(number), Text(std::move(text)), ModeKind(modeKind) {}

    uint32_t Number = 0;
    std::string Text;
    // A mode's kind, when the driver told it; it is not part of the mode's
    // key, only of how it is shown.
    std::optional<uint32_t> ModeKind;
    bool operator==(const SetupValue& other) const {
        return Number == other.Number && Text == other.Text;
    }
};

struct SetupChange {
    SetupPlace Place;
    SetupValue Current;
    SetupValue Wanted;
    size_t Step; // the request that makes it
};

// A setting of the file that the driver cannot take as it is now.
struct SetupUnavailable {
    enum class Why {
        NotOffered,   // a mode, rate or buffer depth the driver does not offer
        NoSuchDevice, // the clock master is not connected
        NoSuchChannel,
        // The rate follows the clock master, so the file's rate is not sent.
        RateFollowsMaster,
    };
    SetupPlace Place;
    SetupValue Wanted;
    Why Reason;
};

struct SetupStep {
    const char* Request;
    std::function<uint32_t(CDriver&)> Send;
    bool NeedsStoppedStreams;
};

struct SetupPlan {
    std::vector<SetupChange> Changes;
    std::vector<SetupStep> Steps;
    // Devices of the file that are not connected: skipped. Named as the
    // file names them.
    std::vector<SetupPlace> MissingDevices;
    // Connected devices the file does not name: left as they are.
    std::vector<SetupPlace> UntouchedDevices;
    std::vector<SetupUnavailable> Unavailable;
    // Requests that failed while the current values were read: their
    // settings are left as they are.
    std::vector<SetupReadFailure> Failures;
};

SetupPlan PlanSetup(const DriverState& state, const Setup& file);

// The status of every step, in order. Steps that need the streams stopped
// are sent only when the streams could be stopped; else they fail with the
// stop's status.
std::vector<uint32_t> ApplySetupPlan(CDriver& driver, const SetupPlan& plan);

// True when every change was made and nothing of the file was left out.
bool AppliedWhole(const SetupPlan& plan, const std::vector<uint32_t>& statuses);
