#pragma once

// A log line under construction; its destructor commits it in one piece under
// the application's log lock: to the log listener (service slot 9, as ASCII,
// without time stamp), to the process log (standard error, UTF-8) with the
// time stamp " [ @ <clock>]" when the line was opened with a source location,
// and, when asked, appended to "<channel>.log" in the current folder.
//
// A log site tests its channel first; the macros do that:
//   ZIBBO_LOG(k_logSystem, true) << "Logging initialized.";
//   ZIBBO_LOG_PLAIN(k_logAssert, true) << "ASSERTION: " << text;

#include "core/FLogChannel.h"
#include "core/FSourceLocation.h"
#include "core/FStringStream.h"

#include <cstdint>

class FLogStream
{
public:
    // A line without location prefix (and so without time stamp).
    FLogStream(const char* channel, bool writeToFile) noexcept;
    // A line that starts with "<location> : " and gets a time stamp.
    FLogStream(FSourceLocation location, const char* channel, bool writeToFile);
    ~FLogStream();
    FLogStream(const FLogStream&) = delete;
    FLogStream& operator=(const FLogStream&) = delete;

    template <class T> FLogStream& operator<<(const T& value)
    {
        m_text << value;
        return *this;
    }

    // A suppressed line is dropped entirely at commit time.
    void suppress() noexcept { m_suppressed = true; }

protected:
    FStringStream m_text;

private:
    void commit();

    const char* m_channel;
    bool m_noTimeStamp;
    bool m_suppressed = false;
    bool m_writeToFile;
};

#define ZIBBO_LOG(channel, writeToFile)                                                                      \
    if (!(channel).isOn()) {                                                                                 \
    } else                                                                                                   \
        FLogStream(ZIBBO_HERE, (channel).name, (writeToFile))

#define ZIBBO_LOG_PLAIN(channel, writeToFile)                                                                \
    if (!(channel).isOn()) {                                                                                 \
    } else                                                                                                   \
        FLogStream((channel).name, (writeToFile))
