#include "SimFixture.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

namespace {
class SimSettings : public SimFixture {
protected:
    std::vector<uint32_t> Ids(const ChannelIdList& list) {
        return std::vector<uint32_t>(list.ChannelIds, list.ChannelIds + list.Count);
    }
    std::vector<uint32_t> DeviceIds() {
        const DeviceList list = Devices();
        return std::vector<uint32_t>(list.DeviceIds, list.DeviceIds + list.Count);
    }
    // The owners of the channels of one direction, in list order.
    std::vector<uint32_t> Owners(bool input) {
        const ChannelList list = Channels();
        std::vector<uint32_t> owners;
        for (uint32_t id : Ids(input ? list.Inputs : list.Outputs))
            owners.push_back(Channel(id).DeviceId);
        return owners;
    }
    // Each owner once, in the order of its first channel.
    static std::vector<uint32_t> Groups(const std::vector<uint32_t>& owners) {
        std::vector<uint32_t> groups;
        for (uint32_t owner : owners)
            if (groups.empty() || groups.back() != owner)
                groups.push_back(owner);
        return groups;
    }
    std::vector<const PlugStatus*> Plugs(const StreamStatus& stream) {
        return {&stream.AudioOut, &stream.AudioIn, &stream.SynchOut, &stream.SynchIn};
    }
};
} // namespace

TEST_F(SimSettings, DefaultSetUpIsTwoDistinctInterfacesWithAFailedPlug) {
    const std::vector<uint32_t> ids = DeviceIds();
    ASSERT_EQ(2u, ids.size());
    const DeviceProperties first = Device(ids[0]);
    const DeviceProperties second = Device(ids[1]);
    EXPECT_EQ(0u, first.Rank);
    EXPECT_EQ(1u, second.Rank);
    EXPECT_NE(FieldText(first.DeviceName), FieldText(second.DeviceName));
    EXPECT_NE(FieldText(first.SerialNumber), FieldText(second.SerialNumber));
    EXPECT_FALSE(FieldText(first.SerialNumber).empty());
    const size_t behind = FieldText(first.SerialNumber).size() + 1;
    EXPECT_NE('\0', first.SerialNumber[behind]) << "driver data follows the serial number";

    for (bool input : {true, false}) {
        const std::vector<uint32_t> owners = Owners(input);
        for (uint32_t id : ids) {
            const auto count = std::count(owners.begin(), owners.end(), id);
            EXPECT_GE(count, 8);
            EXPECT_LE(count, 18);
        }
    }

    int failed = 0;
    for (uint32_t id : ids) {
        StreamStatus stream{};
        ASSERT_EQ(0u, ReadFor(DriverRequest::GetStreamStatus, id, stream));
        for (const PlugStatus* plug : Plugs(stream)) {
            if (plug->State == PLUG_STATE_CONNECT_FAILED) {
                ++failed;
                EXPECT_EQ(DRVSTATUS_BANDWIDTH_ALLOCATION_FAILED, plug->ErrorCode);
            }
            if (plug->State == PLUG_STATE_CONNECTED) {
                EXPECT_EQ(48000u, plug->SampleRate);
                EXPECT_GT(plug->RateCount, 0u);
                EXPECT_LE(plug->RateCount, 8u);
            }
        }
    }
    EXPECT_EQ(1, failed);

    SampleRates rates{};
    ASSERT_EQ(0u, Read(DriverRequest::GetSampleRates, rates));
    EXPECT_EQ((std::vector<uint32_t>{32000, 44100, 48000, 88200, 96000, 176400, 192000}),
              std::vector<uint32_t>(rates.Rates, rates.Rates + rates.RateCount));
}

TEST_F(SimSettings, RankingReordersDevicesAndTheirChannels) {
    const std::vector<uint32_t> before = DeviceIds();
    ASSERT_EQ(before, Groups(Owners(true)));
    ASSERT_EQ(before, Groups(Owners(false)));

    // The devices page writes every device's new position in turn.
    DeviceProperties moved = Device(before[1]);
    moved.Rank = 0;
    ASSERT_EQ(0u, Write(DriverRequest::SetDeviceProperties, moved));
    DeviceProperties other = Device(before[0]);
    other.Rank = 1;
    ASSERT_EQ(0u, Write(DriverRequest::SetDeviceProperties, other));

    const std::vector<uint32_t> after = DeviceIds();
    EXPECT_EQ((std::vector<uint32_t>{before[1], before[0]}), after);
    EXPECT_EQ(0u, Device(before[1]).Rank);
    EXPECT_EQ(after, Groups(Owners(true)));
    EXPECT_EQ(after, Groups(Owners(false)));
}

// The devices page writes the whole ranking, one device record after the
// other in the driver's list order; the new order is the one the ranks give,
// whatever order the records come in.
TEST_F(SimSettings, AWrittenRankingIsAdoptedWholeInEveryOrderAndSendingOrder) {
    int rounds = 0;
    for (size_t count = 4; count <= 6; ++count) {
        sim.Reset();
        device = OpenDevice();
        while (Devices().Count < count)
            ASSERT_NE(0u, sim.AddDevice("Tarnet Solo " + std::to_string(Devices().Count),
                                        "TS-" + std::to_string(Devices().Count), 1, 1));
        const std::vector<uint32_t> ids = DeviceIds();
        // order[r] is the device that is to have rank r.
        std::vector<size_t> order(count);
        std::iota(order.begin(), order.end(), 0);
        do {
            std::vector<size_t> sending(count);
            std::iota(sending.begin(), sending.end(), 0);
            do {
                for (size_t index : sending) {
                    DeviceProperties record = Device(ids[index]);
                    record.Rank = static_cast<uint32_t>(
                        std::find(order.begin(), order.end(), index) - order.begin());
                    ASSERT_EQ(0u, Write(DriverRequest::SetDeviceProperties, record));
                }
                std::vector<uint32_t> expected;
                for (size_t index : order)
                    expected.push_back(ids[index]);
                ASSERT_EQ(expected, DeviceIds()) << count << " devices, round " << rounds;
                for (uint32_t rank = 0; rank < count; ++rank)
                    ASSERT_EQ(rank, Device(expected[rank]).Rank);
                ++rounds;
                // Every sending order for four devices; the page's own for more.
            } while (count == 4 && std::next_permutation(sending.begin(), sending.end()));
        } while (std::next_permutation(order.begin(), order.end()));
    }
    EXPECT_EQ(24 * 24 + 120 + 720, rounds);
}

TEST_F(SimSettings, RankBeyondTheListPutsTheDeviceLast) {
    const uint32_t third = sim.AddDevice("Tarnet Solo 2", "TS02-0001", 2, 2);
    DeviceProperties first = Device(DeviceIds()[0]);
    first.Rank = 50;
    ASSERT_EQ(0u, Write(DriverRequest::SetDeviceProperties, first));
    const std::vector<uint32_t> ids = DeviceIds();
    EXPECT_EQ(first.DeviceId, ids.back());
    EXPECT_EQ(third, ids[1]);
}

TEST_F(SimSettings, DeviceAndChannelNamesStickAndFieldsCannotOverrun) {
    DeviceProperties device = Device(DeviceIds()[1]);
    const std::string serial = FieldText(device.SerialNumber);
    strcpy(device.DeviceName, "Drum room");
    strcpy(device.SerialNumber, "forged");
    ASSERT_EQ(0u, Write(DriverRequest::SetDeviceProperties, device));
    const DeviceProperties reread = Device(device.DeviceId);
    EXPECT_EQ("Drum room", FieldText(reread.DeviceName));
    EXPECT_EQ(serial, FieldText(reread.SerialNumber)) << "the serial number is not writable";

    memset(device.DeviceName, 'x', sizeof(device.DeviceName)); // no terminator
    ASSERT_EQ(0u, Write(DriverRequest::SetDeviceProperties, device));
    EXPECT_EQ(std::string(39, 'x'), FieldText(Device(device.DeviceId).DeviceName));

    const uint32_t channelId = Channels().Outputs.ChannelIds[3];
    ChannelProperties channel = Channel(channelId);
    const std::string hardware = FieldText(channel.HardwareName);
    strcpy(channel.ChannelName, "Talkback");
    strcpy(channel.HardwareName, "renamed");
    ASSERT_EQ(0u, Write(DriverRequest::SetChannelProperties, channel));
    EXPECT_EQ("Talkback", FieldText(Channel(channelId).ChannelName));
    EXPECT_EQ(hardware, FieldText(Channel(channelId).HardwareName));
    EXPECT_NE("Talkback", FieldText(Channel(Channels().Outputs.ChannelIds[4]).ChannelName));

    ChannelProperties stranger = channel;
    stranger.Reserved0 = 0xDEAD;
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER),
              Write(DriverRequest::SetChannelProperties, stranger));
}

TEST_F(SimSettings, NewRateReachesPlugsAndBufferSamples) {
    ASSERT_EQ(0u, SendValue(DriverRequest::SetSampleRate, 96000));
    SampleRates rates{};
    ASSERT_EQ(0u, Read(DriverRequest::GetSampleRates, rates));
    EXPECT_EQ(96000u, rates.CurrentRate);

    for (uint32_t id : DeviceIds()) {
        StreamStatus stream{};
        ASSERT_EQ(0u, ReadFor(DriverRequest::GetStreamStatus, id, stream));
        for (const PlugStatus* plug : Plugs(stream))
            EXPECT_TRUE(plug->State != PLUG_STATE_CONNECTED || plug->SampleRate == 96000u)
                << plug->SampleRate;
    }
    AudioBufferDepth asio{};
    ASSERT_EQ(0u, Read(DriverRequest::GetAsioBufferDepth, asio));
    EXPECT_EQ(static_cast<uint32_t>(uint64_t(asio.Depth) * 96000 / 1000000), asio.Samples);
    AudioBufferDepth wdm{};
    ASSERT_EQ(0u, Read(DriverRequest::GetWdmBufferDepth, wdm));
    EXPECT_EQ(static_cast<uint32_t>(uint64_t(wdm.Depth) * 96000 / 1000000), wdm.Samples);

    EXPECT_EQ(DRVSTATUS_SAMPLE_RATE_NOT_SUPPORTED, SendValue(DriverRequest::SetSampleRate, 22050));
    ASSERT_EQ(0u, Read(DriverRequest::GetSampleRates, rates));
    EXPECT_EQ(96000u, rates.CurrentRate);
}

TEST_F(SimSettings, StoppedStreamingLeavesNoPlugConnectedUntilItStartsAgain) {
    const std::vector<uint32_t> ids = DeviceIds();
    std::vector<StreamStatus> running;
    for (uint32_t id : ids) {
        running.push_back(StreamStatus{});
        ASSERT_EQ(0u, ReadFor(DriverRequest::GetStreamStatus, id, running.back()));
    }
    ASSERT_EQ(0u, Send(DriverRequest::StopStreaming, nullptr, 0, nullptr, 0));
    for (size_t index = 0; index < ids.size(); ++index) {
        StreamStatus stopped{};
        ASSERT_EQ(0u, ReadFor(DriverRequest::GetStreamStatus, ids[index], stopped));
        const std::vector<const PlugStatus*> before = Plugs(running[index]);
        const std::vector<const PlugStatus*> after = Plugs(stopped);
        for (size_t plug = 0; plug < after.size(); ++plug) {
            EXPECT_EQ(0u, after[plug]->State);
            EXPECT_EQ(0u, after[plug]->ErrorCode);
            EXPECT_EQ(0u, after[plug]->StreamNumber);
            EXPECT_EQ(0u, after[plug]->SampleRate);
            EXPECT_EQ(before[plug]->RateCount, after[plug]->RateCount) << "what it supports stays";
        }
    }
    ASSERT_EQ(0u, Send(DriverRequest::StartStreaming, nullptr, 0, nullptr, 0));
    for (size_t index = 0; index < ids.size(); ++index) {
        StreamStatus started{};
        ASSERT_EQ(0u, ReadFor(DriverRequest::GetStreamStatus, ids[index], started));
        EXPECT_EQ(0, std::memcmp(&running[index], &started, sizeof started));
    }
}

TEST_F(SimSettings, RateStaysWhileAWdmDeviceIsInUse) {
    sim.SetWdmDeviceInUse(true);
    EXPECT_EQ(DRVSTATUS_WDM_DEVICE_IN_USE, SendValue(DriverRequest::SetSampleRate, 44100));
    SampleRates rates{};
    ASSERT_EQ(0u, Read(DriverRequest::GetSampleRates, rates));
    EXPECT_EQ(48000u, rates.CurrentRate);
    sim.SetWdmDeviceInUse(false);
    EXPECT_EQ(0u, SendValue(DriverRequest::SetSampleRate, 44100));
}

TEST_F(SimSettings, BufferDepthWritesAreAdoptedWithinTheDriversLimits) {
    StreamBufferDepth stream{};
    ASSERT_EQ(0u, Read(DriverRequest::GetStreamBufferDepth, stream));
    EXPECT_NE(0u, stream.Step);
    stream.Depth = stream.MinDepth + 4 * stream.Step;
    ASSERT_EQ(0u, Write(DriverRequest::SetStreamBufferDepth, stream));
    StreamBufferDepth reread{};
    ASSERT_EQ(0u, Read(DriverRequest::GetStreamBufferDepth, reread));
    EXPECT_EQ(stream.Depth, reread.Depth);
    stream.Depth = stream.MinDepth - 1;
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER),
              Write(DriverRequest::SetStreamBufferDepth, stream));

    AudioBufferDepth asio{};
    ASSERT_EQ(0u, Read(DriverRequest::GetAsioBufferDepth, asio));
    const uint32_t oldSamples = asio.Samples;
    asio.Depth += 2 * asio.Step;
    asio.Samples = 1; // the driver's own figure, not the caller's
    ASSERT_EQ(0u, Write(DriverRequest::SetAsioBufferDepth, asio));
    AudioBufferDepth asioAfter{};
    ASSERT_EQ(0u, Read(DriverRequest::GetAsioBufferDepth, asioAfter));
    EXPECT_EQ(asio.Depth, asioAfter.Depth);
    EXPECT_EQ(asio.Depth * 48u / 1000u, asioAfter.Samples);
    EXPECT_GT(asioAfter.Samples, oldSamples);

    AudioBufferDepth wdm{};
    ASSERT_EQ(0u, Read(DriverRequest::GetWdmBufferDepth, wdm));
    wdm.Depth = wdm.MinDepth;
    ASSERT_EQ(0u, Write(DriverRequest::SetWdmBufferDepth, wdm));
    ASSERT_EQ(0u, Read(DriverRequest::GetWdmBufferDepth, wdm));
    EXPECT_EQ(wdm.MinDepth, wdm.Depth);
    EXPECT_EQ(asio.Depth, sim.Model().AsioBuffer.Depth) << "the two audio buffers are separate";
}

TEST_F(SimSettings, DropOutsGrowNowAndThenAndCanBeSet) {
    AsioStatistics statistics{};
    uint32_t last = 0;
    int grew = 0;
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(0u, Read(DriverRequest::GetAsioStatistics, statistics));
        EXPECT_GE(statistics.DropOuts, last);
        grew += statistics.DropOuts > last;
        last = statistics.DropOuts;
    }
    EXPECT_GE(grew, 2);
    EXPECT_LT(grew, 20);
    sim.SetDropOuts(1000);
    ASSERT_EQ(0u, Read(DriverRequest::GetAsioStatistics, statistics));
    EXPECT_GE(statistics.DropOuts, 1000u);
}

TEST_F(SimSettings, ModesOfferSeveralKindsAndChoosingOneBecomesCurrent) {
    const uint32_t id = DeviceIds()[0];
    DeviceSynchModes modes{};
    ASSERT_EQ(0u, ReadFor(DriverRequest::GetDeviceSynchMode, id, modes));
    ASSERT_GE(modes.ModeCount, 3u);
    const SynchMode chosen = modes.Modes[modes.ModeCount - 1];
    EXPECT_NE(chosen.ModeId, modes.Current.ModeId);
    const SynchModeSelection selection{id, chosen.Kind, chosen.ModeId};
    ASSERT_EQ(0u, Write(DriverRequest::SetDeviceSynchMode, selection));
    ASSERT_EQ(0u, ReadFor(DriverRequest::GetDeviceSynchMode, id, modes));
    EXPECT_EQ(0, memcmp(&chosen, &modes.Current, sizeof(SynchMode)));
}

TEST_F(SimSettings, ModelEditsReachTheRecords) {
    SimDevice& device = sim.Model().Devices[0];
    device.Modes.push_back(device.Modes[1]); // two modes with the same id
    sim.Model().Source.MasterDeviceId = 0xBAD;
    DeviceSynchModes modes{};
    ASSERT_EQ(0u, ReadFor(DriverRequest::GetDeviceSynchMode, device.Id, modes));
    EXPECT_EQ(modes.Modes[1].ModeId, modes.Modes[modes.ModeCount - 1].ModeId);
    SynchSource source{};
    ASSERT_EQ(0u, Read(DriverRequest::GetSynchSource, source));
    EXPECT_EQ(0xBADu, source.MasterDeviceId);
}

TEST_F(SimSettings, FillsToCapacityAndRefusesMore) {
    uint32_t added = 0;
    while (
        sim.AddDevice("Tarnet Rack " + std::to_string(added), "TR-" + std::to_string(added), 4, 4))
        ++added;
    EXPECT_EQ(CSimModel::MaxDevices, added + 2);
    EXPECT_EQ(64u, Devices().Count);

    sim.Reset();
    device = OpenDevice();
    const uint32_t big = sim.AddDevice("Tarnet Big", "TB-1", 300, 300);
    ASSERT_NE(0u, big);
    const ChannelList list = Channels();
    EXPECT_EQ(256u, list.Inputs.Count);
    EXPECT_EQ(256u, list.Outputs.Count);
    ChannelProperties last{};
    ASSERT_EQ(0u, ReadFor(DriverRequest::GetChannelProperties, list.Inputs.ChannelIds[255], last));
    EXPECT_EQ(big, last.DeviceId);

    ASSERT_TRUE(sim.RemoveDevice(big));
    for (uint32_t id : Ids(Channels().Inputs))
        EXPECT_NE(big, Channel(id).DeviceId);
}
