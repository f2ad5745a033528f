#include "io/FSubStreambuf.h"

#include "core/FErrorMessage.h"
#include "io/FInStream.h"
#include "io/FStreamProcessor.h"

FSubStreambuf::FSubStreambuf(FRefT<FInStream> parent, int64_t inputStart, int64_t inputLength)
    : FInStreambuf(0), m_parent(std::move(parent)), m_inputStart(inputStart), m_inputLength(inputLength)
{
}

FSubStreambuf::~FSubStreambuf()
{
    engineDelete(m_processor);
}

void FSubStreambuf::setProcessor(FStreamProcessor* processor)
{
    if (processor != m_processor) engineDelete(m_processor);
    m_processor = processor;
}

bool FSubStreambuf::isDirectAccess() const
{
    if (m_processor != nullptr) return false;
    return waitForRefTarget(m_parent)->buffer()->isDirectAccess();
}

void FSubStreambuf::readFromParent(char* buffer, int64_t size)
{
    if (size < 0 || size > inputLeft())
        ZIBBO_FAIL(msgFileCorrupted, "size (" << size << ") <= m_inputLength (" << m_inputLength
                                              << ") - m_inputCurrentPos (" << m_inputCurrentPos << ")");
    // The dependent handle keeps other windows out until this read is done.
    FRef turn = FRef::makeDependent(m_parent);
    if (turn.isNull()) ZIBBO_FAIL(msgSystemError, "makeDependent (parent stream)");
    FInStream* parent = static_cast<FInStream*>(waitForRefTarget(turn));
    FInStreambuf* source = parent->buffer();

    const int64_t wanted = m_inputStart + m_inputCurrentPos;
    const int64_t answer = static_cast<int64_t>(source->pubseekpos(wanted, std::ios_base::in));
    if (answer != wanted)
        ZIBBO_FAIL(msgFileCorrupted, "pubseekpos (" << answer << ") == m_inputStart (" << m_inputStart
                                                    << ") + m_inputCurrentPos (" << m_inputCurrentPos << ")");
    const int64_t got = static_cast<int64_t>(source->sgetn(buffer, static_cast<std::streamsize>(size)));
    if (got != size) ZIBBO_FAIL(msgFileCorrupted, "sgetn (" << got << ") == size (" << size << ")");
    m_inputCurrentPos += size;
}

void FSubStreambuf::readInput(char* buffer, int64_t size)
{
    if (m_processor != nullptr)
        m_processor->process(buffer, size, std::ios_base::in);
    else
        readFromParent(buffer, size);
}
