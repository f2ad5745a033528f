#include "core/FLogStream.h"

#include "core/FApplication.h"
#include "core/FClockService.h"
#include "core/FLogListener.h"

#include <fstream>
#include <iostream>
#include <string>

namespace {

// Serialises lines committed while no application object lives (start-up
// code and tools); normally the application's log lock does.
FMutex& lockWithoutApplication()
{
    static FMutex* lock = new FMutex;
    return *lock;
}

} // namespace

FLogStream::FLogStream(const char* channel, bool writeToFile) noexcept
    : m_channel(channel), m_noTimeStamp(true), m_writeToFile(writeToFile)
{
}

FLogStream::FLogStream(FSourceLocation location, const char* channel, bool writeToFile)
    : m_channel(channel), m_noTimeStamp(false), m_writeToFile(writeToFile)
{
    m_text << location << " : ";
}

FLogStream::~FLogStream()
{
    try {
        commit();
    } catch (...) {
        // A log line that cannot be written is lost; it must not end the program.
    }
}

void FLogStream::commit()
{
    if (m_suppressed) {
        return;
    }
    FApplication* application = FApplication::instance();
    FMutexLock guard(application != nullptr ? application->logLock() : lockWithoutApplication());

    FString text = m_text.take();
    if (application != nullptr) {
        auto* listener = static_cast<FLogListener*>(application->service(k_slotDebugChannel));
        if (listener != nullptr) {
            listener->logLine(m_channel, text.toAscii().c_str());
        }
    }
    if (!m_noTimeStamp) {
        FStringStream stamped;
        stamped << text << " [ @ ";
        if (FClockService* clock = findService<FClockService>(k_slotClock)) {
            stamped << clock->now();
        }
        stamped << "]";
        text = stamped.take();
    }
    std::cerr << text.toUtf8() << '\n';
    std::cerr.flush();
    if (m_writeToFile) {
        std::ofstream file(std::string(m_channel) + ".log", std::ios::out | std::ios::app | std::ios::binary);
        file << text.toAscii() << '\n';
        file.flush();
    }
}
