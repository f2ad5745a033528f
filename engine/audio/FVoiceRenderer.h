#pragma once

class FAudioBuffer;
class FAudioNode;
class FAudioNodeData;
struct FAudioSpan;
struct FVoiceState;

// Plays a voice over a buffer of source frames into a span of an output
// buffer: linear interpolation at a pitch step in 16.16 source frames per
// output frame, and a fast advance that keeps time while the voice is
// inaudible.
class FVoiceRenderer
{
public:
    // 16.16 source frames per output frame for the voice's note and fine tune.
    static int pitchStep(const FVoiceState& voice, float sourceRate, float outputRate);

    // Writes up to `remaining` frames; false when a fetch left the source.
    static bool render(FVoiceState& voice, FAudioBuffer& source, FAudioBuffer& out, FAudioSpan& span,
                       int& remaining);
    // Moves the voice as far as `remaining` frames would; false when it left
    // the source.
    static bool advance(FVoiceState& voice, FAudioBuffer& source, float outputRate, int& remaining);

    // Gains from the voice's volume, base volume and pans.
    static void updateGains(FVoiceState& voice);
    // Starts the loop start .. start + length - 1 unless the voice loops.
    static void enterLoop(FVoiceState& voice, int loopStart, int loopLength);
    // One pass of the voice seen from `context` over `data`: rendered when
    // audible, else advanced in silence; then its position listeners hear it.
    static void playPass(FAudioNodeData& context, FAudioNode& sender, FAudioBuffer& data, int& remaining);

    // The mix of a source whose frames are all in `data` (a decoded sample):
    // plays the voice seen from `context`, tells its position listeners, and
    // when it passes its last frame (not looping) tells its end listeners once,
    // with `sender`, and silences the rest of the span. A null `data` renders
    // silence. A loop covers loopStart .. loopStart + loopLength - 1.
    static void mixBuffer(FAudioNodeData& context, FAudioNode& sender, FAudioBuffer* data, bool loops,
                          int loopStart, int loopLength);
};
