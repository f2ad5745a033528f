#include "asset/FScreenFormat.h"

#include "core/FErrorMessage.h"
#include "io/FInStream.h"

#include <cstdio>

void FScreenFormat::skipName(FInStream& reader)
{
    for (int i = 0; i <= k_maximumName; ++i) {
        if (reader.readUInt8() == 0) return;
    }
    ZIBBO_FAIL(msgFileCorrupted, "Invalid screen file (1)");
}

FString FScreenFormat::screenPath(int32_t folder)
{
    char text[32];
    std::snprintf(text, sizeof text, "%03d/GWScreen", static_cast<int>(folder));
    return FString(text);
}

FString FScreenFormat::assetPattern(int32_t folder, int32_t id)
{
    char text[48];
    std::snprintf(text, sizeof text, "%03d/%06d_0.*", static_cast<int>(folder),
                  static_cast<int>(static_cast<int16_t>(id)));
    return FString(text);
}
