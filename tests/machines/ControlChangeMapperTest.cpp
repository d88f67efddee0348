// The control-change mapper's rules, driven block by block as the engine
// drives it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "framework/ControlBuffer.h"
#include "framework/Port.h"
#include "host/CorvHost.h"
#include "machines/ControlChangeMapper.h"
#include "framework/LittleEndian.h"

namespace {

class MapperRig {
public:
    MapperRig() : host(256, 44100, 0), mapper(&host) {}

    /// One block of events through the mapper, in the order it passed them.
    std::vector<ControlEvent> Pass(const std::vector<ControlEvent>& events)
    {
        CControlBuffer* in = mapper.ports[CControlChangeMapper::kControlIn]->control;
        CControlBuffer* out = mapper.ports[CControlChangeMapper::kControlOut]->control;
        in->Clear();
        out->Clear();
        for (const ControlEvent& event : events)
            in->Insert(&event);
        mapper.Work();
        std::vector<ControlEvent> passed;
        for (int i = 0; i < out->Count(); ++i)
            passed.push_back(*out->At(i));
        return passed;
    }

    int MapOne(int index)
    {
        const std::vector<ControlEvent> passed = Pass({MakeControlEvent(kEventParameter, 3, index, 0.5)});
        return passed.size() == 1 ? passed[0].index : -1;
    }

    std::vector<int> Pairs()
    {
        std::vector<int> numbers;
        CControlChangeMapper::Mapping mapping;
        for (int i = 0; mapper.GetMapping(i, &mapping); ++i) {
            numbers.push_back(mapping.mapIn);
            numbers.push_back(mapping.mapOut);
        }
        return numbers;
    }

    CCorvHost host;
    CControlChangeMapper mapper;
};

std::vector<unsigned char> Block(std::initializer_list<std::int32_t> numbers)
{
    std::vector<unsigned char> bytes(numbers.size() * 4);
    int at = 0;
    for (std::int32_t number : numbers) {
        WriteLittleEndian32(bytes.data() + at, number);
        at += 4;
    }
    return bytes;
}

} // namespace

TEST(ControlChangeMapper, TheFirstMatchingPairWinsAndUnmatchedIndexesStay)
{
    MapperRig rig;
    rig.mapper.SetMapping(rig.mapper.AddMapping(), 7, 12);
    rig.mapper.SetMapping(rig.mapper.AddMapping(), 7, 20);
    rig.mapper.SetMapping(rig.mapper.AddMapping(), 12, 99);   // a mapped index is not mapped again
    EXPECT_EQ(rig.MapOne(7), 12);
    EXPECT_EQ(rig.MapOne(12), 99);
    EXPECT_EQ(rig.MapOne(8), 8);
}

TEST(ControlChangeMapper, NotesPassUnchangedInTheirPlaceAmongParameterEvents)
{
    MapperRig rig;
    rig.mapper.SetMapping(rig.mapper.AddMapping(), 60, 5);
    const std::vector<ControlEvent> passed = rig.Pass({
        MakeControlEvent(kEventNoteOn, 10, 60, 0.8, 261.6),
        MakeControlEvent(kEventParameter, 10, 60, 0.25),
        MakeControlEvent(kEventNoteOff, 40, 60, 0.0),
        MakeControlEvent(kEventTriggerOn, 2, 60, 1.0),
    });
    ASSERT_EQ(passed.size(), 4u);
    EXPECT_EQ(passed[0].type, kEventTriggerOn);
    EXPECT_EQ(passed[0].index, 60);
    EXPECT_EQ(passed[1].type, kEventNoteOn);
    EXPECT_EQ(passed[1].index, 60);
    EXPECT_EQ(passed[1].frequency, 261.6);
    EXPECT_EQ(passed[2].type, kEventParameter);
    EXPECT_EQ(passed[2].index, 5);
    EXPECT_EQ(passed[2].time, 10);
    EXPECT_EQ(passed[2].value, 0.25);
    EXPECT_EQ(passed[3].type, kEventNoteOff);
    EXPECT_EQ(passed[3].time, 40);
}

TEST(ControlChangeMapper, TrainingTakesTheIndexOfTheEventThatTrainsAndMapsItAlready)
{
    MapperRig rig;
    rig.mapper.SetMapping(rig.mapper.AddMapping(), 3, 4);
    rig.mapper.SetMapping(rig.mapper.AddMapping(), 0, 30);
    rig.mapper.SetTraining(1, true);
    EXPECT_EQ(rig.MapOne(9), 30);   // the pair became (9, 30) before mapping
    EXPECT_EQ(rig.Pairs(), (std::vector<int>{3, 4, 9, 30}));
    EXPECT_EQ(rig.mapper.TrainedCount(), 1);
    CControlChangeMapper::Mapping mapping;
    ASSERT_TRUE(rig.mapper.GetMapping(1, &mapping));
    EXPECT_FALSE(mapping.training);   // the button is released

    // A note does not train; the next parameter event does, and only once.
    rig.mapper.SetTraining(0, true);
    rig.Pass({MakeControlEvent(kEventNoteOn, 0, 77, 1.0)});
    EXPECT_EQ(rig.Pairs()[0], 3);
    EXPECT_EQ(rig.MapOne(11), 4);
    EXPECT_EQ(rig.MapOne(3), 3);
    EXPECT_EQ(rig.Pairs(), (std::vector<int>{11, 4, 9, 30}));
}

TEST(ControlChangeMapper, RemovingKeepsTheOrderOfTheOthers)
{
    MapperRig rig;
    for (int i = 0; i < 4; ++i)
        rig.mapper.SetMapping(rig.mapper.AddMapping(), i, 10 + i);
    rig.mapper.RemoveMapping(1);
    EXPECT_EQ(rig.Pairs(), (std::vector<int>{0, 10, 2, 12, 3, 13}));
    rig.mapper.RemoveLastMapping();
    EXPECT_EQ(rig.Pairs(), (std::vector<int>{0, 10, 2, 12}));
    rig.mapper.RemoveMapping(7);   // no such pair
    EXPECT_EQ(rig.mapper.MappingCount(), 2);
    EXPECT_EQ(rig.MapOne(1), 1);
}

TEST(ControlChangeMapper, StateIsTheCountAndThePairsAndIsAppendedWhenLoaded)
{
    MapperRig rig;
    rig.mapper.SetMapping(rig.mapper.AddMapping(), 7, 12);
    rig.mapper.SetMapping(rig.mapper.AddMapping(), -1, 1024);
    void* data = nullptr;
    int length = 0;
    bool hostFormat = true;
    rig.mapper.SaveState(&data, &length, &hostFormat);
    EXPECT_FALSE(hostFormat);
    ASSERT_EQ(length, 20);
    const auto* bytes = static_cast<const unsigned char*>(data);
    EXPECT_EQ(ReadLittleEndianInt32(bytes), 2);
    EXPECT_EQ(ReadLittleEndianInt32(bytes + 4), 7);
    EXPECT_EQ(ReadLittleEndianInt32(bytes + 8), 12);
    EXPECT_EQ(ReadLittleEndianInt32(bytes + 12), -1);
    EXPECT_EQ(ReadLittleEndianInt32(bytes + 16), 1024);

    MapperRig other;
    other.mapper.SetMapping(other.mapper.AddMapping(), 1, 2);
    other.mapper.LoadState(data, length, false);
    EXPECT_EQ(other.Pairs(), (std::vector<int>{1, 2, 7, 12, -1, 1024}));
    std::free(data);

    const std::vector<unsigned char> empty = Block({0});
    MapperRig fresh;
    fresh.mapper.LoadState(empty.data(), 4, false);
    EXPECT_EQ(fresh.mapper.MappingCount(), 0);
}

TEST(ControlChangeMapper, BlocksWhoseLengthDoesNotMatchTheirCountAreIgnored)
{
    MapperRig rig;
    const std::vector<unsigned char> one = Block({1, 5, 6, 0});
    rig.mapper.LoadState(one.data(), 3, false);    // shorter than the count
    rig.mapper.LoadState(one.data(), 8, false);    // half a pair
    rig.mapper.LoadState(one.data(), 16, false);   // a pair too many
    const std::vector<unsigned char> negative = Block({-1, 0, 0});
    rig.mapper.LoadState(negative.data(), 12, false);
    // (2n + 1) x 4 is 12 in 32-bit arithmetic for this count, which would
    // read half a billion pairs from three numbers.
    const std::vector<unsigned char> wrapping = Block({0x20000001, 0, 0});
    rig.mapper.LoadState(wrapping.data(), 12, false);
    EXPECT_EQ(rig.mapper.MappingCount(), 0);
    rig.mapper.LoadState(one.data(), 12, false);
    EXPECT_EQ(rig.Pairs(), (std::vector<int>{5, 6}));
}
