// Talks to the simulated driver through the transport, as the program does.
#pragma once

#include "DriverCodes.h"
#include "DriverRecords.h"
#include "DriverTransport.h"
#include "Simulator.h"

#include <gtest/gtest.h>

#include <string>

class SimFixture : public ::testing::Test {
protected:
    CSimulator& sim = CSimulator::Instance();
    HANDLE device = nullptr;

    void SetUp() override {
        sim.Reset();
        device = OpenDevice();
        ASSERT_NE(device, INVALID_HANDLE_VALUE);
    }
    void TearDown() override { sim.Reset(); }

    static std::string DeviceName() { return std::string("\\\\.\\") + DRIVER_INTERFACE_ID; }
    static HANDLE OpenDevice() { return DriverTransport::Open(DeviceName().c_str()); }

    // The status of one request, 0 on success.
    DWORD Send(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
               HANDLE on = nullptr) {
        DWORD returned = 0;
        const BOOL ok = DriverTransport::Control(on ? on : device, code, const_cast<void*>(in),
                                                 inSize, out, outSize, &returned);
        return ok ? 0 : DriverTransport::LastError();
    }
    template <typename T> DWORD Read(DWORD code, T& record) {
        return Send(code, nullptr, 0, &record, sizeof(T));
    }
    template <typename T> DWORD ReadFor(DWORD code, uint32_t id, T& record) {
        return Send(code, &id, sizeof(id), &record, sizeof(T));
    }
    template <typename T> DWORD Write(DWORD code, const T& record) {
        return Send(code, &record, sizeof(T), nullptr, 0);
    }
    DWORD SendValue(DWORD code, uint32_t value) {
        const ParamValue param{0, value};
        return Write(code, param);
    }

    DeviceList Devices() {
        DeviceList list{};
        EXPECT_EQ(0u, Read(DriverRequest::GetDeviceList, list));
        return list;
    }
    DeviceProperties Device(uint32_t id) {
        DeviceProperties properties{};
        EXPECT_EQ(0u, ReadFor(DriverRequest::GetDeviceProperties, id, properties));
        return properties;
    }
    ChannelList Channels() {
        ChannelList list{};
        EXPECT_EQ(0u, Read(DriverRequest::GetChannelList, list));
        return list;
    }
    ChannelProperties Channel(uint32_t id) {
        ChannelProperties properties{};
        EXPECT_EQ(0u, ReadFor(DriverRequest::GetChannelProperties, id, properties));
        return properties;
    }
};
