#include "CDriver.h"
#include "DriverCodes.h"
#include "FakeTransport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override { FakeDriver::Reset(); }
    void TearDown() override { EXPECT_EQ(FakeDriver::Misuses(), 0); }

    // Opens a fresh connection and forgets the version request.
    void OpenDriver() {
        ASSERT_EQ(driver.Open(), 0u);
        FakeDriver::ClearLog();
    }

    CDriver driver;
};

TEST_F(DriverTest, OpensTheDeviceByItsInterfaceName) {
    ASSERT_EQ(driver.Open(), 0u);
    ASSERT_EQ(FakeDriver::OpenedNames().size(), 1u);
    EXPECT_EQ(FakeDriver::OpenedNames()[0], "\\\\.\\{73516540-7548-4a92-BA38-8B63F8333411}");
    EXPECT_EQ(FakeDriver::OpenedNames()[0].size(), 42u);
    std::vector<FakeRequest> log = FakeDriver::Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].Code, 0x80882804u);
    EXPECT_TRUE(log[0].Input.empty());
    EXPECT_EQ(log[0].OutSize, 12u);
    EXPECT_NE(driver.m_hDevice, nullptr);
    EXPECT_EQ(FakeDriver::OpenHandleCount(), 1);
}

struct VersionCase {
    uint8_t Major;
    uint8_t Minor;
    bool Accepted;
};

class VersionRuleTest : public DriverTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VersionRuleTest, AcceptsOnlyMajorTwoFromMinorTen) {
    FakeDriver::SetVersion(GetParam().Major, GetParam().Minor);
    uint32_t status = driver.Open();
    // Accepted or not, the version found is kept to be named.
    EXPECT_EQ(status, driver.OpenStatus());
    EXPECT_EQ(GetParam().Major, driver.FoundVersion().Major);
    EXPECT_EQ(GetParam().Minor, driver.FoundVersion().Minor);
    if (GetParam().Accepted) {
        EXPECT_EQ(status, 0u);
        EXPECT_NE(driver.m_hDevice, nullptr);
        EXPECT_EQ(FakeDriver::OpenHandleCount(), 1);
    } else {
        EXPECT_EQ(status, 0xE0000014u);
        EXPECT_EQ(driver.m_hDevice, nullptr);
        EXPECT_EQ(FakeDriver::OpenHandleCount(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, VersionRuleTest,
                         ::testing::Values(VersionCase{2, 10, true}, VersionCase{2, 14, true},
                                           VersionCase{2, 255, true}, VersionCase{2, 9, false},
                                           VersionCase{2, 0, false}, VersionCase{1, 20, false},
                                           VersionCase{3, 0, false}, VersionCase{3, 10, false},
                                           VersionCase{0, 0, false}),
                         [](const ::testing::TestParamInfo<VersionCase>& info) {
                             return "v" + std::to_string(info.param.Major) + "_" +
                                    std::to_string(info.param.Minor);
                         });

TEST_F(DriverTest, FailingVersionRequestReturnsItsStatusAndCloses) {
    FakeDriver::SetVersionStatus(0xE0000031);
    EXPECT_EQ(driver.Open(), 0xE0000031u);
    EXPECT_EQ(driver.m_hDevice, nullptr);
    EXPECT_EQ(FakeDriver::OpenHandleCount(), 0);
    // Closed for good: nothing reaches the device any more.
    FakeDriver::ClearLog();
    EXPECT_EQ(driver.StartStreaming(), 0xE0000013u);
    EXPECT_TRUE(FakeDriver::Log().empty());
}

TEST_F(DriverTest, AbsentDriverGivesTheOpenErrorAndStaysClosed) {
    EXPECT_EQ(DRVSTATUS_NOT_OPEN, driver.OpenStatus()) << "before the first open";
    FakeDriver::SetOpenError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(driver.Open(), 2u);
    EXPECT_EQ(2u, driver.OpenStatus());
    EXPECT_EQ(driver.m_hDevice, nullptr);
    EXPECT_TRUE(FakeDriver::Log().empty());
    // A later open finds the driver once it is there.
    FakeDriver::SetOpenError(0);
    EXPECT_EQ(driver.Open(), 0u);
    EXPECT_EQ(0u, driver.OpenStatus());
    EXPECT_NE(driver.m_hDevice, nullptr);
}

TEST_F(DriverTest, OpenReusesAnOpenConnection) {
    ASSERT_EQ(driver.Open(), 0u);
    HANDLE first = driver.m_hDevice;
    FakeDriver::SetVersion(3, 0); // would be refused if it were asked again
    EXPECT_EQ(driver.Open(), 0u);
    EXPECT_EQ(driver.m_hDevice, first);
    EXPECT_EQ(FakeDriver::OpenedNames().size(), 1u);
    EXPECT_EQ(FakeDriver::Requests(DriverRequest::GetInterfaceVersion).size(), 1u);
}

TEST_F(DriverTest, CloseEndsTheConnectionOnceAndCanReopen) {
    driver.Close(); // closing a closed connection does nothing
    ASSERT_EQ(driver.Open(), 0u);
    driver.Close();
    EXPECT_EQ(driver.m_hDevice, nullptr);
    EXPECT_EQ(FakeDriver::OpenHandleCount(), 0);
    driver.Close();
    ASSERT_EQ(driver.Open(), 0u);
    EXPECT_EQ(FakeDriver::OpenHandleCount(), 1);
}

TEST_F(DriverTest, DestructionClosesTheConnection) {
    {
        CDriver other;
        ASSERT_EQ(other.Open(), 0u);
        EXPECT_EQ(FakeDriver::OpenHandleCount(), 1);
    }
    EXPECT_EQ(FakeDriver::OpenHandleCount(), 0);
    { CDriver neverOpened; }
    EXPECT_EQ(FakeDriver::OpenHandleCount(), 0);
}

TEST_F(DriverTest, RequestOnClosedConnectionSendsNothing) {
    DWORD returned = 0xCAFEF00D;
    uint8_t out[8] = {};
    EXPECT_EQ(driver.SendRequest(0x80882888, nullptr, 0, out, sizeof out, &returned), 0xE0000013u);
    EXPECT_EQ(returned, 0xCAFEF00Du);
    EXPECT_TRUE(FakeDriver::Log().empty());
}

TEST_F(DriverTest, RequestPassesStatusAndCountThrough) {
    OpenDriver();
    FakeDriver::SetResponder([](const FakeRequest& request, uint8_t* out) -> uint32_t {
        if (request.Code == DriverRequest::GetNotification)
            return 0xE0000007;
        std::memset(out, 0x5A, request.OutSize);
        return 0;
    });
    uint8_t in[3] = {1, 2, 3};
    uint8_t out[6] = {};
    DWORD returned = 0xCAFEF00D;
    EXPECT_EQ(driver.SendRequest(0x80882AC8, in, sizeof in, out, sizeof out, &returned), 0u);
    EXPECT_EQ(returned, 6u);
    EXPECT_EQ(out[5], 0x5A);
    std::vector<FakeRequest> log = FakeDriver::Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].Input, std::vector<uint8_t>({1, 2, 3}));
    EXPECT_EQ(log[0].OutSize, 6u);

    // A failure is returned exactly, still writes the count, and keeps the
    // connection open.
    returned = 0xCAFEF00D;
    EXPECT_EQ(driver.SendRequest(DriverRequest::GetNotification, nullptr, 0, out, 12, &returned),
              0xE0000007u);
    EXPECT_EQ(returned, 0u);
    EXPECT_NE(driver.m_hDevice, nullptr);
    EXPECT_EQ(driver.SendRequest(0x80882AC8, nullptr, 0, out, sizeof out), 0u);
}

// A driver whose StopStreaming holds on inside the transport until told to
// go on, counting how many requests are inside at once.
namespace Blocking {

LONG g_inside = 0;
LONG g_mostInside = 0;
HANDLE g_entered = nullptr; // set on every entry
HANDLE g_goOn = nullptr;    // manual-reset; lets held requests leave

uint32_t Respond(const FakeRequest& request, uint8_t*) {
    const LONG inside = InterlockedIncrement(&g_inside);
    if (inside > InterlockedCompareExchange(&g_mostInside, 0, 0))
        InterlockedExchange(&g_mostInside, inside);
    SetEvent(g_entered);
    if (request.Code == DriverRequest::StopStreaming)
        WaitForSingleObject(g_goOn, 5000);
    InterlockedDecrement(&g_inside);
    return 0;
}

DWORD WINAPI SendStop(void* driver) {
    static_cast<CDriver*>(driver)->StopStreaming();
    return 0;
}

DWORD WINAPI SendStart(void* driver) {
    static_cast<CDriver*>(driver)->StartStreaming();
    return 0;
}

} // namespace Blocking

TEST_F(DriverTest, ARequestWaitsWhileAnotherIsInsideTheDriver) {
    OpenDriver();
    Blocking::g_inside = Blocking::g_mostInside = 0;
    Blocking::g_entered = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    Blocking::g_goOn = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    FakeDriver::SetResponder(Blocking::Respond);

    HANDLE held = CreateThread(nullptr, 0, Blocking::SendStop, &driver, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(Blocking::g_entered, 5000), WAIT_OBJECT_0);
    HANDLE second = CreateThread(nullptr, 0, Blocking::SendStart, &driver, 0, nullptr);
    // The second request either got into the driver beside the first one or
    // is waiting for the connection's lock: Wine counts the lock's waiters in
    // LockCount (-1 free, 0 held, one more per waiter).
    const ULONGLONG until = GetTickCount64() + 5000;
    while (Blocking::g_mostInside < 2 && driver.m_Lock.LockCount < 1 && GetTickCount64() < until)
        Sleep(1);
    EXPECT_GE(driver.m_Lock.LockCount, 1) << "the second request did not wait for the first";
    EXPECT_EQ(Blocking::g_mostInside, 1);

    SetEvent(Blocking::g_goOn);
    HANDLE threads[2] = {held, second};
    EXPECT_EQ(WaitForMultipleObjects(2, threads, TRUE, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(Blocking::g_mostInside, 1);
    EXPECT_EQ(FakeDriver::Requests(DriverRequest::StartStreaming).size(), 1u);
    for (HANDLE handle : {held, second, Blocking::g_entered, Blocking::g_goOn})
        CloseHandle(handle);
}

TEST_F(DriverTest, TheLockIsRecursiveForTheThreadThatHoldsIt) {
    OpenDriver();
    EnterCriticalSection(&driver.m_Lock);
    EXPECT_EQ(driver.StopStreaming(), 0u);
    LeaveCriticalSection(&driver.m_Lock);
}

} // namespace
