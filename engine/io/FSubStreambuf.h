#pragma once

#include "core/FRef.h"
#include "io/FInStreambuf.h"

class FInStream;
class FStreamProcessor;

// A stream buffer that reads a window of a parent stream. Every read takes a
// dependent handle on the parent and repositions it first, so several windows
// on one parent (several members of one archive), on one thread or several,
// each get their own bytes and never read at the same time.
//
// The derived class sets m_dataSize (what the window delivers, e.g. the
// uncompressed size of a member) and supplies underflow, seekoff and start.
class FSubStreambuf : public FInStreambuf
{
public:
    // `parent` must be held by a signalled handle (FInStream::make).
    FSubStreambuf(FRefT<FInStream> parent, int64_t inputStart, int64_t inputLength);
    ~FSubStreambuf() override;

    // Reads exactly `size` window bytes from the parent; fewer is a failure
    // report that leaves the consumed count unchanged.
    void readFromParent(char* buffer, int64_t size);

    // Takes the processor (made with engineNew), deleting any previous one.
    void setProcessor(FStreamProcessor* processor);
    FStreamProcessor* processor() const { return m_processor; }

    bool isDirectAccess() const override;

    int64_t inputStart() const { return m_inputStart; }
    int64_t inputLength() const { return m_inputLength; }
    int64_t inputConsumed() const { return m_inputCurrentPos; }
    int64_t inputLeft() const { return m_inputLength - m_inputCurrentPos; }

protected:
    // Reads the next window bytes through the processor when one is attached.
    void readInput(char* buffer, int64_t size);
    void setInputConsumed(int64_t consumed) { m_inputCurrentPos = consumed; }

private:
    FRefT<FInStream> m_parent;
    int64_t m_inputStart;
    int64_t m_inputLength;
    int64_t m_inputCurrentPos = 0;
    FStreamProcessor* m_processor = nullptr;
};
