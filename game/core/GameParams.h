#pragma once

#include "game/core/ScriptParamsBase.h"
#include "graphics/FGeometry.h"

#include <cstdint>

// The game's tuning values from "Scripts/params.lua". Every scalar is copied
// out once by onLoaded; a missing or mistyped value is the script host's
// failure report, which stops the game (there are no defaults). The position
// tables stay in the script and are read on demand, laid out for a 640 x 480
// screen and scaled to the screen asked for.
class GameParams : public ScriptParamsBase
{
public:
    static constexpr const char* k_scriptName = "params.lua";

    explicit GameParams(FApplication& application, const char* scriptName = k_scriptName);

    void onLoaded() override;

    // Entry `index` of OriginX/OriginY, TagX/TagY and BoxX/BoxY/BoxW/BoxH,
    // scaled from 640 x 480 to width x height (products truncated).
    FPointI getOrigin(int32_t index, int32_t width, int32_t height);
    FPointI getTag(int32_t index, int32_t width, int32_t height);
    FRectI getBox(int32_t index, int32_t width, int32_t height);

    bool fullScreen() const { return m_fullScreen; }
    bool customCursor() const { return m_customCursor; }
    int32_t wrongHitTimer() const { return m_wrongHitTimer; }
    int32_t wrongHitCounter() const { return m_wrongHitCounter; }
    int32_t map100Width() const { return m_map100Width; }
    int32_t map100Height() const { return m_map100Height; }
    int32_t map75Width() const { return m_map75Width; }
    int32_t map75Height() const { return m_map75Height; }
    int32_t map50Width() const { return m_map50Width; }
    int32_t map50Height() const { return m_map50Height; }
    int32_t map150Width() const { return m_map150Width; }
    int32_t map150Height() const { return m_map150Height; }
    int32_t breakX() const { return m_breakX; }
    int32_t breakY() const { return m_breakY; }
    int32_t clickX() const { return m_clickX; }
    int32_t clickY() const { return m_clickY; }
    int32_t dragX() const { return m_dragX; }
    int32_t dragY() const { return m_dragY; }
    int32_t flickX() const { return m_flickX; }
    int32_t flickY() const { return m_flickY; }
    int32_t shakeX() const { return m_shakeX; }
    int32_t shakeY() const { return m_shakeY; }
    int32_t slowX() const { return m_slowX; }
    int32_t slowY() const { return m_slowY; }
    int32_t smackX() const { return m_smackX; }
    int32_t smackY() const { return m_smackY; }
    int32_t smackReverseX() const { return m_smackReverseX; }
    int32_t smackReverseY() const { return m_smackReverseY; }
    double comboTime() const { return m_comboTime; }
    double comboWarning() const { return m_comboWarning; }
    double baseMove() const { return m_baseMove; }
    double rnd1Mult() const { return m_rnd1Mult; }
    double rnd2Mult() const { return m_rnd2Mult; }
    double rnd3Mult() const { return m_rnd3Mult; }
    double overTimeMult() const { return m_overTimeMult; }
    double timerAnimDuration() const { return m_timerAnimDuration; }
    double dizzyBirdMax() const { return m_dizzyBirdMax; }

private:
    // Entry `index` of the global table `name`, times `scale`, truncated.
    int32_t scaledEntry(const char* name, int32_t index, float scale);
    // A number converted to int32 by truncation toward zero.
    int32_t truncated(const char* name);

    bool m_fullScreen = false;
    bool m_customCursor = false;
    int32_t m_wrongHitTimer = 0;
    int32_t m_wrongHitCounter = 0;
    int32_t m_map100Width = 0;
    int32_t m_map100Height = 0;
    int32_t m_map75Width = 0;
    int32_t m_map75Height = 0;
    int32_t m_map50Width = 0;
    int32_t m_map50Height = 0;
    int32_t m_map150Width = 0;
    int32_t m_map150Height = 0;
    int32_t m_breakX = 0;
    int32_t m_breakY = 0;
    int32_t m_clickX = 0;
    int32_t m_clickY = 0;
    int32_t m_dragX = 0;
    int32_t m_dragY = 0;
    int32_t m_flickX = 0;
    int32_t m_flickY = 0;
    int32_t m_shakeX = 0;
    int32_t m_shakeY = 0;
    int32_t m_slowX = 0;
    int32_t m_slowY = 0;
    int32_t m_smackX = 0;
    int32_t m_smackY = 0;
    int32_t m_smackReverseX = 0;
    int32_t m_smackReverseY = 0;
    double m_comboTime = 0.0;
    double m_comboWarning = 0.0;
    double m_baseMove = 0.0;
    double m_rnd1Mult = 0.0;
    double m_rnd2Mult = 0.0;
    double m_rnd3Mult = 0.0;
    double m_overTimeMult = 0.0;
    double m_timerAnimDuration = 0.0;
    double m_dizzyBirdMax = 0.0;
};
