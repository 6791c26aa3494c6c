// A test on the simulated driver: every test begins from a simulator reset to
// its default set-up, or to a model without devices and channels that the
// test fills itself, and the simulator is reset again after it.
#pragma once

#include "DriverRequests.h"
#include "Simulator.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// What the simulated driver holds when a test begins.
enum class SimStart {
    // Two devices with their channels, streams and synchronisation modes.
    DefaultSetUp,
    // No device and no channel.
    EmptyModel,
};

class SimulatedDriverTest : public ::testing::Test {
protected:
    explicit SimulatedDriverTest(SimStart start) : m_start(start) {}

    CSimulator& sim = CSimulator::Instance();

    void SetUp() override {
        sim.Reset();
        if (m_start == SimStart::EmptyModel)
            sim.Model().Clear();
    }
    void TearDown() override { sim.Reset(); }

    uint32_t AddDevice(const std::string& name, const std::string& serial = "SN-0") {
        return sim.Model().AddDevice(name, serial);
    }
    uint32_t AddInput(uint32_t device, const std::string& hardware, const std::string& name) {
        return sim.Model().AddChannel(device, true, hardware, name);
    }
    uint32_t AddOutput(uint32_t device, const std::string& hardware, const std::string& name) {
        return sim.Model().AddChannel(device, false, hardware, name);
    }
    // How many input, or output, channels the model holds.
    size_t ModelChannels(bool input) const {
        size_t count = 0;
        for (const SimChannel& channel : sim.Model().Channels)
            count += channel.Input == input ? 1 : 0;
        return count;
    }

    // The codes of the requests sent since the log was last cleared.
    std::vector<uint32_t> Requests() const {
        std::vector<uint32_t> codes;
        for (const SimLogEntry& entry : sim.Log())
            codes.push_back(entry.Code);
        return codes;
    }
    // The names of the requests other than reads sent since the log was last
    // cleared, in order: what changed something in the driver.
    std::vector<std::string> Writes() const {
        std::vector<std::string> writes;
        for (const SimLogEntry& entry : sim.Log()) {
            const DriverRequestInfo* request = FindDriverRequest(entry.Code);
            const std::string name = request ? request->Name : std::to_string(entry.Code);
            if (name.compare(0, 3, "Get") != 0)
                writes.push_back(name);
        }
        return writes;
    }
    // Pieces of an expected request log, joined in order.
    static std::vector<uint32_t> Sequence(std::initializer_list<std::vector<uint32_t>> pieces) {
        std::vector<uint32_t> all;
        for (const std::vector<uint32_t>& piece : pieces)
            all.insert(all.end(), piece.begin(), piece.end());
        return all;
    }

private:
    SimStart m_start;
};
