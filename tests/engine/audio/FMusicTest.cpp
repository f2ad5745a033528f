#include "AudioTestSupport.h"

#include "audio/FMusic.h"
#include "audio/FMusicState.h"
#include "audio/FSample.h"
#include "core/FMutex.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace audiotest;

namespace {

constexpr int k_tick = 882; // tempo 125 at 44100 Hz

TEST(FMusicTest, TicksAndBeatsInFrames)
{
    EXPECT_EQ(FMusic::framesPerTick(125, 44100.0f, 1.0f), 882);
    EXPECT_EQ(FMusic::framesPerTick(125, 44100.0f, 1.0f) * 6, 5292);
    EXPECT_EQ(FMusic::framesPerTick(250, 44100.0f, 1.0f), 441);
    EXPECT_EQ(FMusic::framesPerBeat(120 * 256, 44100.0f, 1.0f), 22050.0f);
}

// A sample that holds `value` for a long time.
FRefT<FAudioNode> constantSample(int16_t value)
{
    auto* sample = engineNew<FSample>(k_memObject);
    sample->setData(makeBuffer(std::vector<int16_t>(200000, value), 1));
    return FRefT<FAudioNode>(FAsset::handleFor(sample));
}

FMusicCell cell(uint8_t note, uint8_t instrument = FMusicCell::k_keepInstrument, uint8_t command = 0,
                uint8_t parameter = 0)
{
    FMusicCell c;
    c.note = note;
    c.instrument = instrument;
    c.command1 = command;
    c.parameter1 = parameter;
    return c;
}

// One channel; instrument 0 plays a positive sample, instrument 1 a negative
// one; note 49 plays at the sample's own pitch.
FMusicSong song(std::vector<std::vector<FMusicCell>> patterns, std::vector<uint8_t> orders, int speed = 2)
{
    FMusicSong s;
    s.channels = 1;
    s.speed = speed;
    s.tempo = 125;
    s.orders = orders;
    s.length = static_cast<int>(orders.size());
    for (auto& cells : patterns) {
        FMusicPattern p;
        p.rows = static_cast<int>(cells.size());
        p.beats = 4;
        p.cells = cells;
        s.patterns.push_back(p);
    }
    for (int16_t value : {int16_t(8000), int16_t(-8000)}) {
        FMusicInstrument instrument;
        instrument.noteToSample.assign(96, 0);
        FMusicSampleEntry entry;
        entry.sample = constantSample(value);
        instrument.samples.push_back(entry);
        s.instruments.push_back(instrument);
    }
    return s;
}

struct MusicRig
{
    explicit MusicRig(FMusicSong s, int frames = k_tick)
    {
        auto* music = engineNew<FMusic>(k_memObject, lock);
        music->setSong(static_cast<FMusicSong&&>(s));
        rig = std::make_unique<VoiceRig>(FRefT<FAudioNode>(FAsset::handleFor(music)), frames);
        state()->m_patternStart.insert(starts.handle);
        state()->m_beat.insert(beats.handle);
    }
    FMusicState* state()
    {
        return static_cast<FMusicState*>(rig->context.component(FAudioNodeData::k_music).get());
    }
    // The sign of the middle output frame of each of `ticks` ticks.
    std::vector<int> signs(int ticks)
    {
        std::vector<int> out;
        for (int t = 0; t < ticks; ++t) {
            const int v = rig->mixLeft(k_tick)[k_tick / 2];
            out.push_back(v > 0 ? 1 : v < 0 ? -1 : 0);
        }
        return out;
    }
    std::vector<int> startedOrders() const
    {
        std::vector<int> out;
        for (const auto& p : starts.progress)
            out.push_back(p.before);
        return out;
    }

    FMutex lock;
    std::unique_ptr<VoiceRig> rig;
    Recorder starts;
    Recorder beats;
};

TEST(FMusicTest, RowsTriggerNotesAndOrdersFollowTheSong)
{
    const uint8_t off = FMusicCell::k_keyOff;
    const uint8_t none = FMusicCell::k_noNote;
    MusicRig m(song({{cell(49, 0), cell(none), cell(49, 1), cell(off)}, {cell(49, 0), cell(none)}}, {0, 1}));
    // Two ticks a row: pattern 0 (4 rows), pattern 1 (2 rows), then again.
    EXPECT_EQ(m.signs(16), (std::vector<int>{1, 1, 1, 1, -1, -1, -1, -1, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(m.startedOrders(), (std::vector<int>{0, 1, 0}));
}

TEST(FMusicTest, JumpsRestartsAndSpeedTempoEffects)
{
    const uint8_t none = FMusicCell::k_noNote;
    struct Case
    {
        const char* what;
        FMusicSong s;
        int ticks;
        std::vector<int> orders;
        int speed, tempo;
    } cases[] = {
        // A jump on a pattern's last row goes to its target, not the next order.
        {"jump",
         song({{cell(49, 0), cell(none, 255, FMusic::k_jump, 2)}, {cell(49, 1)}, {cell(49, 1)}}, {0, 1, 2}),
         6,
         {0, 2, 0},
         2,
         125},
        // A jump past the song continues at the restart order.
        {"past the end",
         song({{cell(49, 0, FMusic::k_jump, 9)}, {cell(49, 1)}}, {0, 1}),
         4,
         {0, 0, 0},
         2,
         125},
        {"speed 31", song({{cell(49, 0, FMusic::k_speedOrTempo, 31)}}, {0}), 1, {0}, 31, 125},
        {"tempo 32", song({{cell(49, 0, FMusic::k_speedOrTempo, 32)}}, {0}), 1, {0}, 2, 32},
        {"speed 0 is ignored",
         song({{cell(49, 0, FMusic::k_speedOrTempo, 0)}, {cell(49, 0)}}, {0, 1}),
         4,
         {0, 1, 0},
         2,
         125},
    };
    for (Case& c : cases) {
        MusicRig m(c.s);
        m.signs(c.ticks);
        m.rig->mixLeft(1); // the next row's start
        EXPECT_EQ(m.startedOrders(), c.orders) << c.what;
        EXPECT_EQ(m.state()->speed, c.speed) << c.what;
        EXPECT_EQ(m.state()->tempo, c.tempo) << c.what;
    }
}

TEST(FMusicTest, ABeatFallsOnTheFirstRowStartAfterABeatsFrames)
{
    std::vector<FMusicCell> cells(64, cell(FMusicCell::k_noNote));
    cells[0] = cell(49, 0);
    MusicRig m(song({cells}, {0}, 1)); // one tick a row: 882 frames
    std::vector<int> beatRows;
    for (int row = 0; row < 60; ++row) {
        const size_t before = m.beats.progress.size();
        m.rig->mixLeft(k_tick);
        if (m.beats.progress.size() != before) beatRows.push_back(row);
    }
    // 22050 frames a beat is exactly 25 rows; the phase reaches 0.995 after 25.
    EXPECT_EQ(beatRows, (std::vector<int>{0, 25, 50}));
    ASSERT_EQ(m.beats.progress.size(), 3u);
    EXPECT_EQ(m.beats.progress[2].after, 2); // the beat count
}

TEST(FMusicTest, WithoutASongOrChannelsItIsSilentAndSafe)
{
    FMutex lock;
    VoiceRig rig(FRefT<FAudioNode>(FAsset::handleFor(engineNew<FMusic>(k_memObject, lock))), 100);
    EXPECT_EQ(rig.mixLeft(100), std::vector<int>(100, 0));
    FMusicSong broken = song({{cell(49, 0)}}, {7}); // names a missing pattern
    auto* music = engineNew<FMusic>(k_memObject, lock);
    music->setSong(broken);
    VoiceRig rig2(FRefT<FAudioNode>(FAsset::handleFor(music)), 100);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(rig2.mixLeft(100), std::vector<int>(100, 0));
}

} // namespace
