#include "io/FFile.h"

#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "io/FFileSystem.h"
#include "io/FNativePath.h"

namespace {

bool isSeparator(char16_t unit)
{
    return unit == u'.' || unit == u'/' || unit == u'\\';
}

char16_t comparable(char16_t unit)
{
    return unit == u'\\' ? u'/' : FNativePath::lowerAscii(unit);
}

} // namespace

FRefT<FInStream> FFile::open(const FString& name, FFileSystem& fileSystem)
{
    const FFileEntryMap found = fileSystem.find(name);
    if (found.empty()) ZIBBO_FAIL(msgIllegalOperation, "No file is named: " << name);
    if (found.size() > 1)
        ZIBBO_FAIL(msgIllegalOperation, "There are two files or more with the same file name: " << name);
    const auto& [key, entry] = *found.begin();
    ZIBBO_LOG(k_logFile, true) << "Opening file " << key;
    return fileSystem.open(entry);
}

bool FFile::matchPattern(const FString& pattern, const FString& name)
{
    const char16_t* p = pattern.c_str();
    const char16_t* n = name.c_str();
    int64_t i = static_cast<int64_t>(pattern.length()) - 1;
    int64_t j = static_cast<int64_t>(name.length()) - 1;
    while (j >= 0) {
        if (i < 0) return false;
        if (comparable(p[i]) == comparable(n[j])) {
            --i;
            --j;
        } else if (p[i] == u'*') {
            int64_t s = j;
            while (s >= 0 && !isSeparator(n[s]))
                --s;
            int64_t t = i - 1;
            while (t >= 0 && !isSeparator(p[t])) {
                if (p[t] == u'?')
                    ZIBBO_FAIL(msgIllegalOperation,
                               "Can't seek for two \"any\" in the same section" << pattern);
                --t;
            }
            const int64_t k = (i - 1) - t;
            if (j - s < k) return false;
            j = s + k;
            i = i - 1;
        } else if (p[i] == u'?') {
            if (isSeparator(n[j])) return false;
            --i;
            --j;
        } else {
            return false;
        }
    }
    return i < 0;
}
