#pragma once

#include "video/FVideoTargetState.h"

#include "core/FRef.h"

#include <ogg/ogg.h>
#include <theora/theoradec.h>

#include <cstdint>

class FInStream;

// One reader of a Theora video's Ogg pages: its own sync and stream state and
// its own position in the shared source stream, so that any number of
// readers (the header reader, each playing target) can take turns on one
// stream without taking each other's bytes. A target's reader also owns the
// decoder that plays it.
class FTheoraStreamState : public FVideoTargetState
{
public:
    static constexpr int32_t k_chunkSize = 4096;

    FTheoraStreamState(FRefT<FInStream> source, int64_t position);
    ~FTheoraStreamState() override;

    FTheoraStreamState(const FTheoraStreamState&) = delete;
    FTheoraStreamState& operator=(const FTheoraStreamState&) = delete;

    // Reads the next chunk of the source from this reader's position into the
    // sync state; answers the bytes read (0: the stream is exhausted).
    int32_t bufferData();
    // The next page from the sync state, refilling as needed; false at the end.
    bool nextPage(ogg_page& page);
    // Starts reading again at `position` (sync and stream states emptied).
    void restart(int64_t position);
    // Where the bytes that the sync state holds but has not yet returned
    // begin in the source.
    int64_t unreturnedStart() const;

    // Takes over `stream` (an initialised state) as this reader's stream.
    void adoptStream(ogg_stream_state& stream, int serial);
    void initStream(int serial);
    bool hasStream() const { return m_hasStream; }
    ogg_stream_state& stream() { return m_stream; }
    ogg_sync_state& sync() { return m_sync; }
    int serial() const { return m_serial; }

    th_dec_ctx* decoder() const { return m_decoder; }
    void setDecoder(th_dec_ctx* decoder);

private:
    FRefT<FInStream> m_source;
    int64_t m_position;
    ogg_sync_state m_sync;
    ogg_stream_state m_stream{};
    bool m_hasStream = false;
    int m_serial = 0;
    th_dec_ctx* m_decoder = nullptr;
};
