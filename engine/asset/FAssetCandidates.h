#pragma once

#include "core/FRef.h"
#include "io/FFileEntry.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The asset files of one screen folder by asset id: the files that the
// pattern "NNN/IIIIII_0.*" lists for each id, found with one search of
// "NNN/*_0.*" over the mounted file systems instead of one search per asset
// (a folder of several hundred assets would otherwise list every mounted
// folder and archive several hundred times).
class FAssetCandidates
{
public:
    // Searches the folder's asset files (nothing without a file-system service).
    explicit FAssetCandidates(int32_t folder);

    // The candidate files of `id`, in the service's name order.
    std::vector<FRefT<FFileEntry>> find(int32_t id) const;

    // What the file-system service lists for one id on its own.
    static std::vector<FRefT<FFileEntry>> search(int32_t folder, int32_t id);

private:
    // "000042_0." of a file named "000042_0.png", lower-cased.
    std::map<std::string, std::vector<FRefT<FFileEntry>>> m_byStem;
};
