// Talks to the simulated driver through the transport, as the program does.
#pragma once

#include "DriverCodes.h"
#include "DriverRecords.h"
#include "DriverTransport.h"
#include "Simulator.h"

#include <gtest/gtest.h>

#include <string>

// One request through the transport, waited for as a synchronous call:
// TRUE on success, else FALSE with the status in the last-error value.
inline BOOL SyncControl(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out,
                        DWORD outSize, DWORD* returned) {
    OVERLAPPED request{};
    request.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD status = DriverTransport::Start(device, code, in, inSize, out, outSize, &request);
    *returned = 0;
    if (status == ERROR_IO_PENDING) {
        WaitForSingleObject(request.hEvent, INFINITE);
        status = ERROR_SUCCESS;
    }
    if (status == ERROR_SUCCESS)
        status = DriverTransport::Finish(device, &request, returned);
    CloseHandle(request.hEvent);
    SetLastError(status);
    return status == ERROR_SUCCESS;
}

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
        const BOOL ok = SyncControl(on ? on : device, code, in, inSize, out, outSize, &returned);
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
