#include "game/core/GameParams.h"

#include "script/FScriptInstance.h"

#include <cmath>
#include <cstdint>

namespace {

// Truncation toward zero; values outside 32 bits saturate instead of being
// undefined, and NaN gives 0.
int32_t truncateToInt32(double value)
{
    if (std::isnan(value)) return 0;
    if (value <= -2147483648.0) return INT32_MIN;
    if (value >= 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(std::trunc(value));
}

struct Scale
{
    float x;
    float y;
};

// The tables are laid out for 640 x 480.
Scale scaleTo(int32_t width, int32_t height)
{
    return Scale{static_cast<float>(static_cast<double>(width) / 640.0),
                 static_cast<float>(static_cast<double>(height) / 480.0)};
}

} // namespace

GameParams::GameParams(FApplication& application, const char* scriptName)
    : ScriptParamsBase(application, scriptName)
{
}

int32_t GameParams::truncated(const char* name)
{
    return truncateToInt32(script().getNumber(name));
}

void GameParams::onLoaded()
{
    FScriptInstance& lua = script();
    m_fullScreen = lua.getBoolean("FullScreen");
    m_customCursor = lua.getBoolean("CustomCursor");
    m_wrongHitTimer = lua.getInteger("WrongHitTimer");
    m_wrongHitCounter = lua.getInteger("WrongHitCounter");
    m_map100Width = lua.getInteger("Map100Width");
    m_map100Height = lua.getInteger("Map100Height");
    m_map75Width = lua.getInteger("Map75Width");
    m_map75Height = lua.getInteger("Map75Height");
    m_map50Width = lua.getInteger("Map50Width");
    m_map50Height = lua.getInteger("Map50Height");
    m_map150Width = lua.getInteger("Map150Width");
    m_map150Height = lua.getInteger("Map150Height");
    m_comboTime = lua.getNumber("ComboTime");
    m_comboWarning = lua.getNumber("ComboWarning");
    m_baseMove = lua.getNumber("BaseMove");
    m_rnd1Mult = lua.getNumber("Rnd1Mult");
    m_rnd2Mult = lua.getNumber("Rnd2Mult");
    m_rnd3Mult = lua.getNumber("Rnd3Mult");
    m_overTimeMult = lua.getNumber("OverTimeMult");
    m_timerAnimDuration = lua.getNumber("TimerAnimDuration");
    m_dizzyBirdMax = lua.getNumber("DizzyBirdMax");
    m_breakX = truncated("BreakX");
    m_breakY = truncated("BreakY");
    m_clickX = truncated("ClickX");
    m_clickY = truncated("ClickY");
    m_dragX = truncated("DragX");
    m_dragY = truncated("DragY");
    m_flickX = truncated("FlickX");
    m_flickY = truncated("FlickY");
    m_shakeX = truncated("ShakeX");
    m_shakeY = truncated("ShakeY");
    m_slowX = truncated("SlowX");
    m_slowY = truncated("SlowY");
    m_smackX = truncated("SmackX");
    m_smackY = truncated("SmackY");
    m_smackReverseX = truncated("SmackReverseX");
    m_smackReverseY = truncated("SmackReverseY");
}

int32_t GameParams::scaledEntry(const char* name, int32_t index, float scale)
{
    FScriptInstance& lua = script();
    lua.enterTable(name);
    int32_t value = 0;
    try {
        value = lua.getIntegerAt(index);
    } catch (...) {
        lua.leaveTable();
        throw;
    }
    lua.leaveTable();
    return truncateToInt32(static_cast<float>(value) * scale);
}

FPointI GameParams::getOrigin(int32_t index, int32_t width, int32_t height)
{
    const Scale scale = scaleTo(width, height);
    return FPointI{scaledEntry("OriginX", index, scale.x), scaledEntry("OriginY", index, scale.y)};
}

FPointI GameParams::getTag(int32_t index, int32_t width, int32_t height)
{
    const Scale scale = scaleTo(width, height);
    return FPointI{scaledEntry("TagX", index, scale.x), scaledEntry("TagY", index, scale.y)};
}

FRectI GameParams::getBox(int32_t index, int32_t width, int32_t height)
{
    const Scale scale = scaleTo(width, height);
    const int32_t x = scaledEntry("BoxX", index, scale.x);
    const int32_t y = scaledEntry("BoxY", index, scale.y);
    const int32_t w = scaledEntry("BoxW", index, scale.x);
    const int32_t h = scaledEntry("BoxH", index, scale.y);
    return FRectI{x, y, x + w, y + h};
}
