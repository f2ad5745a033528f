#include "platform/FDurableFile.h"

#include "io/FNativePath.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The native path, or an empty one for a text that has none.
std::string nativeOf(const FString& path)
{
    try {
        return FNativePath::toNative(path).string();
    } catch (const std::exception&) {
        return std::string();
    }
}

std::string folderOf(const std::string& path)
{
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? std::string(".") : folder;
}

bool flushNativeFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool flushed = fsync(fd) == 0;
    return close(fd) == 0 && flushed;
}

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

} // namespace

bool FDurableFile::write(const FString& path, const void* data, size_t size)
{
    const std::string native = nativeOf(path);
    if (native.empty()) return false;
    const int fd = open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool written = writeAll(fd, static_cast<const char*>(data), size) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written) unlink(native.c_str());
    return written;
}

bool FDurableFile::replace(const FString& from, const FString& to)
{
    const std::string source = nativeOf(from);
    const std::string target = nativeOf(to);
    if (source.empty() || target.empty() || rename(source.c_str(), target.c_str()) != 0) return false;
    return flushNativeFolder(folderOf(target));
}

bool FDurableFile::remove(const FString& path)
{
    const std::string native = nativeOf(path);
    if (native.empty()) return false;
    if (unlink(native.c_str()) != 0) return errno == ENOENT;
    return flushNativeFolder(folderOf(native));
}

bool FDurableFile::exists(const FString& path)
{
    const std::string native = nativeOf(path);
    struct stat info;
    return !native.empty() && stat(native.c_str(), &info) == 0;
}

bool FDurableFile::read(const FString& path, std::string& bytes, size_t maxBytes)
{
    const std::string native = nativeOf(path);
    if (native.empty()) return false;
    const int fd = open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<size_t>(info.st_size) <= maxBytes;
    std::string content;
    if (ok) {
        // One byte more than the file holds, so a file that grew is noticed.
        content.resize(static_cast<size_t>(info.st_size) + 1);
        size_t filled = 0;
        for (;;) {
            const ssize_t got = ::read(fd, content.data() + filled, content.size() - filled);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) ok = false;
            if (got <= 0) break;
            filled += static_cast<size_t>(got);
            if (filled == content.size()) {
                ok = false;
                break;
            }
        }
        content.resize(filled);
    }
    close(fd);
    if (ok) bytes = std::move(content);
    return ok;
}

bool FDurableFile::flushFolder(const FString& folder)
{
    const std::string native = nativeOf(folder);
    return !native.empty() && flushNativeFolder(native);
}
