// A connection to a driver that takes its time, on the simulated driver:
// what a held request brings back, the time limit and the stalled state it
// leaves, the probe that ends it, and a connection closed under a request.
#include "CDriver.h"
#include "DriverCodes.h"
#include "MessageWindow.h"
#include "Simulator.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace {

constexpr UINT kRunInside = WM_APP + 1;

// Work for this thread, run from a message sent while it waits for the driver.
LRESULT CALLBACK RunInside(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunInside) {
        (*MessageWindowOwner<std::function<void()>>(window))();
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

class DriverStall : public ::testing::Test {
protected:
    void SetUp() override {
        sim.Reset();
        ASSERT_EQ(DRVSTATUS_SUCCESS, driver.Open());
        sim.ClearLog();
    }
    void TearDown() override {
        if (m_window)
            ::DestroyWindow(m_window);
        driver.Close();
        sim.Reset();
    }

    // Runs inside on this thread, from another thread, once the driver holds
    // a request.
    std::thread WhileHeld(std::function<void()>& inside) {
        m_window = CreateMessageWindow("DriverStallRunInside", RunInside, &inside);
        return std::thread([this] {
            while (sim.PendingRequests() == 0)
                ::Sleep(5);
            ::SendMessageA(m_window, kRunInside, 0, 0);
        });
    }

    CSimulator& sim = CSimulator::Instance();
    CDriver driver;

private:
    HWND m_window = nullptr;
};

TEST_F(DriverStall, AHeldRequestBringsBackItsAnswerAndStatusUnchanged) {
    sim.DelayRequests(DriverRequest::GetSampleRates, 100);
    SampleRates rates{};
    DWORD returned = 0;
    EXPECT_EQ(DRVSTATUS_SUCCESS, driver.SendRequest(DriverRequest::GetSampleRates, nullptr, 0,
                                                    &rates, sizeof rates, &returned));
    EXPECT_EQ(sizeof rates, returned);
    EXPECT_EQ(48000u, rates.CurrentRate);

    sim.FailRequest(DriverRequest::SetSampleRate, DRVSTATUS_WDM_DEVICE_IN_USE, false);
    sim.DelayRequests(DriverRequest::SetSampleRate, 100);
    EXPECT_EQ(DRVSTATUS_WDM_DEVICE_IN_USE, driver.SetSampleRate(96000));
    EXPECT_FALSE(driver.IsStalled());
}

TEST_F(DriverStall, ARequestOverTheTimeLimitStallsTheConnectionUntilTheDriverAnswers) {
    sim.DelayRequests(0, INFINITE, true);
    DeviceList list{};
    list.Count = 0xC0FFEE;
    EXPECT_EQ(DRVSTATUS_TIMEOUT, driver.GetDeviceList(&list));
    EXPECT_EQ(0xE0000015u, DRVSTATUS_TIMEOUT);
    EXPECT_TRUE(driver.IsStalled());
    EXPECT_NE(nullptr, driver.m_hDevice);

    // Refused at once, without reaching the driver.
    const size_t sent = sim.Log().size();
    SampleRates rates{};
    EXPECT_EQ(DRVSTATUS_TIMEOUT, driver.GetSampleRates(&rates));
    EXPECT_EQ(sent, sim.Log().size());

    // The probe never waits: it asks, and a later probe takes the answer.
    EXPECT_FALSE(driver.ProbeStalled());
    EXPECT_EQ(DriverRequest::GetInterfaceVersion, sim.Log().back().Code);
    EXPECT_FALSE(driver.ProbeStalled());
    EXPECT_EQ(sent + 1, sim.Log().size()) << "one probe at a time";
    sim.ClearDelays();
    EXPECT_TRUE(driver.ProbeStalled());
    EXPECT_FALSE(driver.IsStalled());
    EXPECT_EQ(0xC0FFEEu, list.Count) << "the request given up on kept its answer to itself";
    EXPECT_EQ(DRVSTATUS_SUCCESS, driver.GetSampleRates(&rates));
}

TEST_F(DriverStall, AConnectionOpenedWhileTheDriverStallsChecksItsVersionWhenItAnswers) {
    driver.Close();
    sim.DelayRequests(DriverRequest::GetInterfaceVersion, INFINITE);
    EXPECT_EQ(DRVSTATUS_TIMEOUT, driver.Open());
    EXPECT_TRUE(driver.IsStalled());
    sim.SetInterfaceVersion(2, 9);
    sim.ClearDelays();
    EXPECT_TRUE(driver.ProbeStalled());
    EXPECT_EQ(nullptr, driver.m_hDevice) << "a driver too old is refused, late as it is";
    EXPECT_EQ(0u, sim.OpenHandleCount());
    EXPECT_EQ(DRVSTATUS_VERSION_MISMATCH, driver.OpenStatus()) << "as Open would have said";
    EXPECT_EQ(9, driver.FoundVersion().Minor);
}

TEST_F(DriverStall, ClosingDuringARequestGivesItUpAndRefusesOneInBetween) {
    sim.DelayRequests(DriverRequest::GetDeviceList, INFINITE, true);
    uint32_t nested = 0;
    std::function<void()> inside = [&] {
        SampleRates rates{};
        nested = driver.GetSampleRates(&rates);
        driver.Close();
    };
    std::thread other = WhileHeld(inside);
    DeviceList list{};
    list.Count = 0xC0FFEE;
    EXPECT_EQ(DRVSTATUS_NOT_OPEN, driver.GetDeviceList(&list));
    other.join();
    EXPECT_EQ(DRVSTATUS_FAILED, nested) << "no request of the connection starts inside another";
    EXPECT_EQ(1u, sim.CountRequests(DriverRequest::GetDeviceList));
    EXPECT_EQ(0u, sim.CountRequests(DriverRequest::GetSampleRates));
    EXPECT_EQ(nullptr, driver.m_hDevice);
    EXPECT_FALSE(driver.IsStalled());
    sim.ClearDelays();
    EXPECT_EQ(0xC0FFEEu, list.Count);
    EXPECT_EQ(DRVSTATUS_SUCCESS, driver.Open()) << "a closed connection opens again";
}

} // namespace
