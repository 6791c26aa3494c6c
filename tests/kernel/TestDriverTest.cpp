// The test driver itself, through its device as the program opens it: what it
// refuses, and its settings for failing, slow and stalled requests, which
// tests of the release program rely on (see TestDriver.cpp).
#include "DriverCodes.h"
#include "DriverRecords.h"
#include "DriverSettings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr DWORD kStudio = 0x2A4D0001;
// A delay to wait out.
constexpr DWORD kDelay = 1000;
// Long enough that a request held this long has plainly not come back.
constexpr DWORD kStall = 60000;
// Cancelled or due, a request comes back well within this.
constexpr DWORD kComeBack = 10000;
// How the driver completed a request, as the OVERLAPPED keeps it.
constexpr LONG kSucceeded = 0;
constexpr LONG kCancelled = static_cast<LONG>(0xC0000120);

void SetSetting(const char* name, DWORD value) {
    ASSERT_TRUE(SetDriverSetting(name, value));
}

HANDLE OpenDevice(DWORD flags) {
    const std::string name = std::string("\\\\.\\") + DRIVER_INTERFACE_ID;
    return ::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags,
                         nullptr);
}

// The request's error, or 0 when it succeeded.
DWORD Request(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize) {
    DWORD returned = 0;
    return ::DeviceIoControl(device, code, const_cast<void*>(in), inSize, out, outSize, &returned,
                             nullptr)
               ? 0
               : ::GetLastError();
}

// One request sent on an overlapped handle, left running.
class Sent {
public:
    Sent(HANDLE device, DWORD code, DWORD in) : m_Device(device), m_In(in) {
        m_Overlapped.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (!::DeviceIoControl(device, code, &m_In, sizeof m_In, &m_Properties, sizeof m_Properties,
                               nullptr, &m_Overlapped))
            m_SendError = ::GetLastError();
    }
    ~Sent() {
        // Never leave the driver writing into a record that is gone.
        if (!Done(0)) {
            ::CancelIoEx(m_Device, &m_Overlapped);
            Done(kStall + kComeBack);
        }
        ::CloseHandle(m_Overlapped.hEvent);
    }
    Sent(const Sent&) = delete;
    Sent& operator=(const Sent&) = delete;

    DWORD SendError() const { return m_SendError; }
    bool Done(DWORD timeout) const {
        return ::WaitForSingleObject(m_Overlapped.hEvent, timeout) == WAIT_OBJECT_0;
    }
    // The request's error, or 0, once it is done; it must be by then.
    DWORD Error(DWORD timeout = kComeBack) {
        if (!Done(timeout))
            return WAIT_TIMEOUT;
        DWORD returned = 0;
        return ::GetOverlappedResult(m_Device, &m_Overlapped, &returned, FALSE) ? 0
                                                                                : ::GetLastError();
    }
    // What the driver completed the request with: readable after its handle is gone.
    LONG Status() const { return static_cast<LONG>(m_Overlapped.Internal); }
    const DeviceProperties& Properties() const { return m_Properties; }

private:
    HANDLE m_Device;
    DWORD m_In;
    OVERLAPPED m_Overlapped{};
    DWORD m_SendError = 0;
    DeviceProperties m_Properties{};
};

class TestDriver : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        m_Device = OpenDevice(FILE_FLAG_OVERLAPPED);
        ASSERT_NE(INVALID_HANDLE_VALUE, m_Device) << "error " << ::GetLastError();
    }
    void TearDown() override {
        ClearSettings();
        if (m_Device != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_Device);
    }
    static void ClearSettings() { ClearDriverSettings(); }

    HANDLE m_Device = INVALID_HANDLE_VALUE;
};

// Requests on an overlapped handle without an OVERLAPPED would not wait, so
// the plain ones go through a handle of their own.
class PlainHandle {
public:
    PlainHandle() : m_Device(OpenDevice(0)) {}
    ~PlainHandle() { ::CloseHandle(m_Device); }
    PlainHandle(const PlainHandle&) = delete;
    PlainHandle& operator=(const PlainHandle&) = delete;
    operator HANDLE() const { return m_Device; }

private:
    HANDLE m_Device;
};

TEST_F(TestDriver, AnswersItsStateAndRefusesWhatItCannotAnswer) {
    PlainHandle device;
    DriverVersion version{};
    ASSERT_EQ(0u, Request(device, DriverRequest::GetInterfaceVersion, nullptr, 0, &version,
                          sizeof version));
    EXPECT_EQ(2, version.Major);
    EXPECT_EQ(12, version.Minor);
    DeviceList list{};
    EXPECT_EQ(0u, Request(device, DriverRequest::GetDeviceList, nullptr, 0, &list, sizeof list));
    EXPECT_EQ(2u, list.Count);

    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_FUNCTION),
              Request(device, DriverControlCode(0xBFF), nullptr, 0, &list, sizeof list));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER),
              Request(device, DriverRequest::GetDeviceList, nullptr, 0, &list, sizeof list - 1));
    DeviceProperties properties{};
    const uint16_t shortId = 1;
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER),
              Request(device, DriverRequest::GetDeviceProperties, &shortId, sizeof shortId,
                      &properties, sizeof properties));
    const DWORD unknownId = 7;
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER),
              Request(device, DriverRequest::GetDeviceProperties, &unknownId, sizeof unknownId,
                      &properties, sizeof properties));
    const ParamValue rate{0, 12345};
    EXPECT_EQ(DRVSTATUS_SAMPLE_RATE_NOT_SUPPORTED,
              Request(device, DriverRequest::SetSampleRate, &rate, sizeof rate, nullptr, 0));
}

TEST_F(TestDriver, AFailSettingFailsItsRequestsWithTheStatusGiven) {
    SetSetting("FailA18", DRVSTATUS_NOT_OPEN);
    PlainHandle device;
    DeviceList list{};
    EXPECT_EQ(DRVSTATUS_NOT_OPEN,
              Request(device, DriverRequest::GetDeviceList, nullptr, 0, &list, sizeof list));
    DriverVersion version{};
    EXPECT_EQ(0u, Request(device, DriverRequest::GetInterfaceVersion, nullptr, 0, &version,
                          sizeof version));
    SetSetting("FailAll", DRVSTATUS_FAILED);
    EXPECT_EQ(DRVSTATUS_FAILED, Request(device, DriverRequest::GetInterfaceVersion, nullptr, 0,
                                        &version, sizeof version));
}

// Held to its time while other requests go on; answered from the state.
TEST_F(TestDriver, ADelayedRequestIsAnsweredAtItsTime) {
    SetSetting("DelayA48", kDelay);
    Sent delayed(m_Device, DriverRequest::GetDeviceProperties, kStudio);
    ASSERT_EQ(static_cast<DWORD>(ERROR_IO_PENDING), delayed.SendError());
    PlainHandle device;
    DeviceList list{};
    EXPECT_EQ(0u, Request(device, DriverRequest::GetDeviceList, nullptr, 0, &list, sizeof list));
    EXPECT_FALSE(delayed.Done(kDelay / 2));
    EXPECT_EQ(0u, delayed.Error());
    EXPECT_EQ("Tarnet Studio 10", FieldText(delayed.Properties().DeviceName));
}

TEST_F(TestDriver, ADelayedRequestEndsCancelledWhenCancelledOrItsHandleCloses) {
    SetSetting("DelayAll", kStall);
    Sent cancelled(m_Device, DriverRequest::GetDeviceProperties, kStudio);
    ASSERT_EQ(static_cast<DWORD>(ERROR_IO_PENDING), cancelled.SendError());
    EXPECT_FALSE(cancelled.Done(200));
    EXPECT_TRUE(::CancelIoEx(m_Device, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_OPERATION_ABORTED), cancelled.Error());

    Sent closed(m_Device, DriverRequest::GetDeviceProperties, kStudio);
    ASSERT_EQ(static_cast<DWORD>(ERROR_IO_PENDING), closed.SendError());
    EXPECT_FALSE(closed.Done(200));
    ::CloseHandle(m_Device);
    m_Device = INVALID_HANDLE_VALUE;
    ASSERT_TRUE(closed.Done(kComeBack));
    EXPECT_EQ(kCancelled, closed.Status());
}

// What a program that gives up on a request meets: the request stays out
// until its time, whatever the program does.
TEST_F(TestDriver, IgnoreCancelHoldsARequestToItsTime) {
    SetSetting("DelayAll", kDelay);
    SetSetting("IgnoreCancel", 1);
    HANDLE other = OpenDevice(FILE_FLAG_OVERLAPPED);
    ASSERT_NE(INVALID_HANDLE_VALUE, other);
    Sent held(m_Device, DriverRequest::GetDeviceProperties, kStudio);
    Sent closed(other, DriverRequest::GetDeviceProperties, kStudio);
    ASSERT_EQ(static_cast<DWORD>(ERROR_IO_PENDING), held.SendError());
    ASSERT_EQ(static_cast<DWORD>(ERROR_IO_PENDING), closed.SendError());
    ::CancelIoEx(m_Device, nullptr);
    ::CloseHandle(other);
    EXPECT_FALSE(held.Done(kDelay / 2));
    EXPECT_EQ(0u, held.Error());
    ASSERT_TRUE(closed.Done(kComeBack));
    EXPECT_EQ(kSucceeded, closed.Status());
}

} // namespace
