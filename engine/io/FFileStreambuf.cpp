#include "io/FFileStreambuf.h"

#include "core/FErrorMessage.h"
#include "io/FNativePath.h"
#include "io/FSeekTarget.h"

#include <algorithm>

namespace {

bool isEngineOpenMode(std::ios_base::openmode mode)
{
    using std::ios_base;
    const ios_base::openmode choice = mode & ~(ios_base::ate | ios_base::binary);
    return choice == ios_base::in || choice == ios_base::out || choice == (ios_base::out | ios_base::trunc) ||
           choice == (ios_base::out | ios_base::app) || choice == (ios_base::in | ios_base::out) ||
           choice == (ios_base::in | ios_base::out | ios_base::trunc);
}

} // namespace

std::unique_ptr<std::filebuf> FFileStreambuf::open(const FString& path, std::ios_base::openmode mode)
{
    auto file = std::make_unique<std::filebuf>();
    bool opened = false;
    if (isEngineOpenMode(mode)) {
        try {
            opened = file->open(FNativePath::toNative(path), mode | std::ios_base::binary) != nullptr;
        } catch (const std::exception&) {
            opened = false;
        }
    }
    if (!opened) ZIBBO_FAIL(msgFileCorrupted, "Could not open file " << path);
    return file;
}

int64_t FFileStreambuf::bufferSizeFor(int64_t size)
{
    const int64_t s = std::min(size, k_maxBlock);
    return (s + 31) / 32 * 32 + 64;
}

FFileStreambuf::FFileStreambuf(const FString& path) : FInStreambuf(0), m_file(open(path, std::ios_base::in))
{
    const auto end = m_file->pubseekoff(0, std::ios_base::end, std::ios_base::in);
    m_file->pubseekpos(0, std::ios_base::in);
    m_dataSize = std::max<int64_t>(0, static_cast<int64_t>(end));
    m_bufferSize = bufferSizeFor(m_dataSize);
}

FFileStreambuf::~FFileStreambuf() = default;

FFileStreambuf::int_type FFileStreambuf::underflow()
{
    return bufferedUnderflow(m_bufferSize, m_dataSize);
}

int64_t FFileStreambuf::backUpSource(int64_t wanted)
{
    m_file->pubseekpos(m_currentEback - wanted, std::ios_base::in);
    return wanted;
}

void FFileStreambuf::readSource(char* dest, int64_t count)
{
    const int64_t totalRead = static_cast<int64_t>(m_file->sgetn(dest, static_cast<std::streamsize>(count)));
    if (totalRead != count)
        ZIBBO_FAIL(msgFileCorrupted, "totalRead (" << totalRead << ") == toRead (" << count << ")");
}

FFileStreambuf::pos_type FFileStreambuf::seekoff(off_type off, std::ios_base::seekdir dir,
                                                 std::ios_base::openmode)
{
    const int64_t here = position();
    const int64_t target = FSeekTarget::resolve(off, dir, here, m_currentEback, m_dataSize, "Inherited::");
    if (target == here) return pos_type(here);

    const int64_t areaStart = m_currentEback;
    const int64_t areaEnd = m_currentEback + (egptr() - eback());
    if (eback() != nullptr && target >= areaStart && target <= areaEnd) {
        setg(eback(), eback() + (target - areaStart), egptr());
        return pos_type(target);
    }
    clearGetArea();
    m_currentEback = target;
    m_file->pubseekpos(target, std::ios_base::in);
    return pos_type(target);
}

FFileStreambuf::pos_type FFileStreambuf::seekpos(pos_type pos, std::ios_base::openmode mode)
{
    return seekoff(off_type(pos), std::ios_base::beg, mode);
}
