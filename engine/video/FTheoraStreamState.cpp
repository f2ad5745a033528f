#include "video/FTheoraStreamState.h"

#include "core/FErrorMessage.h"
#include "io/FInStream.h"

#include <algorithm>

FTheoraStreamState::FTheoraStreamState(FRefT<FInStream> source, int64_t position)
    : m_source(std::move(source)), m_position(position)
{
    ogg_sync_init(&m_sync);
}

FTheoraStreamState::~FTheoraStreamState()
{
    setDecoder(nullptr);
    if (m_hasStream) ogg_stream_clear(&m_stream);
    ogg_sync_clear(&m_sync);
}

int32_t FTheoraStreamState::bufferData()
{
    char* buffer = ogg_sync_buffer(&m_sync, k_chunkSize);
    if (buffer == nullptr) ZIBBO_FAIL(msgSystemError, "ogg_sync_buffer (NULL)");
    FInStream& source = *m_source;
    if (source.position() != m_position) {
        source.clear();
        if (static_cast<int64_t>(source.buffer()->pubseekpos(m_position, std::ios_base::in)) != m_position)
            ZIBBO_FAIL(msgFileCorrupted, "seek (" << m_position << ") within the video");
    }
    const int64_t wanted = std::min<int64_t>(k_chunkSize, source.remaining());
    if (wanted <= 0) return 0;
    const std::streamsize got = source.buffer()->sgetn(buffer, wanted);
    if (got != wanted)
        ZIBBO_FAIL(msgFileCorrupted,
                   "sizeRead (" << static_cast<int64_t>(got) << ") == sizeToRead (" << wanted << ")");
    ogg_sync_wrote(&m_sync, static_cast<long>(got));
    m_position += got;
    return static_cast<int32_t>(got);
}

bool FTheoraStreamState::nextPage(ogg_page& page)
{
    for (;;) {
        const int result = ogg_sync_pageout(&m_sync, &page);
        if (result > 0) return true;
        // Negative: bytes were skipped to find the next page; look again.
        if (result < 0) continue;
        if (bufferData() == 0) return false;
    }
}

void FTheoraStreamState::restart(int64_t position)
{
    m_position = position;
    ogg_sync_reset(&m_sync);
    if (m_hasStream) ogg_stream_reset(&m_stream);
}

int64_t FTheoraStreamState::unreturnedStart() const
{
    return m_position - (m_sync.fill - m_sync.returned);
}

void FTheoraStreamState::adoptStream(ogg_stream_state& stream, int serial)
{
    if (m_hasStream) ogg_stream_clear(&m_stream);
    m_stream = stream;
    m_serial = serial;
    m_hasStream = true;
}

void FTheoraStreamState::initStream(int serial)
{
    if (m_hasStream) ogg_stream_clear(&m_stream);
    ogg_stream_init(&m_stream, serial);
    m_serial = serial;
    m_hasStream = true;
}

void FTheoraStreamState::setDecoder(th_dec_ctx* decoder)
{
    if (m_decoder != nullptr) th_decode_free(m_decoder);
    m_decoder = decoder;
}
