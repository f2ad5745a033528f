#pragma once

#include "audio/FAudioNode.h"
#include "audio/FMusicSong.h"

class FMutex;
struct FMusicState;
struct FVoiceState;

// A pattern-music player. Attached to a channel it owns a bus with one channel
// per song channel; at every tick it renders the bus, and at every row start
// it triggers notes (sample voices tuned by the note) and applies the cell
// effects. Pattern starts and beats are told to listeners with the time until
// they are heard, so animation can follow the music.
class FMusic : public FAudioNode
{
public:
    // Effect commands of a cell.
    enum Command : int {
        k_pan = 9,
        k_jump = 12,
        k_volume = 13,
        k_speedOrTempo = 15,
        k_busLevel = 16,
        k_keyOff = 18,
    };

    // `lock` guards channel source changes (the audio lock in the game).
    explicit FMusic(FMutex& lock);

    void prepare(FAudioNodeData& context) override;
    void mix(FAudioNodeData& context) override;

    void setSong(FMusicSong song);
    const FMusicSong& song() const { return m_song; }
    bool hasSong() const { return m_haveSong; }

    // Frames per tick and per beat at `rate` (the beat tempo in 8.8).
    static int framesPerTick(int tempo, float rate, float speedFactor);
    static float framesPerBeat(int beatTempo, float rate, float speedFactor);

private:
    void startRow(FMusicState& state, FAudioNodeData& context, int position);
    void processRow(FMusicState& state);
    void trigger(FMusicState& state, int channel, int note);
    void applyEffect(FMusicState& state, int channel, int command, int parameter);
    const FMusicPattern* pattern(const FMusicState& state) const;
    static FVoiceState* channelVoice(FMusicState& state, int channel);

    FMutex& m_lock;
    FMusicSong m_song;
    bool m_haveSong = false;
};
