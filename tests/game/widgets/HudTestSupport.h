#pragma once

// A story screen stand-in for the HUD entries and the timer bar: sized
// token pictures by asset id, texts, a record of what the screen is told, and
// the play services with a session of a chosen task type.
#include "game/widgets/PlayFieldTestSupport.h"

#include "core/FString.h"
#include "game/widgets/HudEntryHost.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/TimerBarHost.h"
#include "ui/FImageWidget.h"

#include <map>
#include <string>
#include <vector>

namespace hudtest {

// A picture `w` x `h` of one opaque colour.
inline FRefT<FImage> sizedPicture(int32_t w, int32_t h)
{
    return itemPicture({w, h}, {0, 0, w, h});
}

class HudScreen : public FScreen, public virtual HudEntryHost, public TimerBarHost
{
public:
    HudScreen()
    {
        setWidgetRect({0, 0, 800, 600});
        cellImage = sizedPicture(50, 50);
        images[HudPanelEntry::k_cellImage] = cellImage;
        images[HudPanelEntry::k_textNormal] = sizedPicture(100, 50);
    }
    void reloadTexts(int32_t) override {}

    // PlayFieldHost
    FRefT<MapView> getMapView(int32_t) override { return map; }
    HudEntryPanel* getPlayerPanel(int32_t player) override
    {
        return player == 0 || player == -1 ? panel : nullptr;
    }
    bool needsActiveEntry() const override { return panelFlight; }

    // HudEntryHost
    FRefT<FImage> hudImage(int32_t id) override
    {
        FRefT<FImage>& image = images[id];
        if (image.get() == nullptr) image = sizedPicture(40, 40);
        return image;
    }
    FRefT<FString> hudText(int32_t id) override
    {
        auto found = texts.find(id);
        if (found == texts.end()) return FRefT<FString>();
        return makeRef(engineNew<FString>(k_memObject, found->second.c_str()));
    }
    FRefT<FFont> hudFont(int32_t) override { return FRefT<FFont>(); }
    FRef hudSound(int32_t id) override { return token(id); }
    FRefT<FVideo> hudClip(int32_t) override { return FRefT<FVideo>(); }
    int32_t foundLineCount() override { return static_cast<int32_t>(foundLines.size()); }
    FRef foundLine(int32_t index) override { return token(foundLines.at(std::size_t(index))); }
    void playVoiceLine(const FRef& sample) override { calls.push_back("voice " + nameOf(sample)); }
    void sendTimerParticles(FPointI from, int32_t character) override
    {
        calls.push_back("particles " + std::to_string(from.x) + "," + std::to_string(from.y) + " " +
                        std::to_string(character));
    }
    void setHintTarget(SearchableSprite*, int32_t player) override
    {
        calls.push_back("hintTarget " + std::to_string(player));
    }
    void setHintCursorMode(bool on) override
    {
        calls.push_back(std::string("hintCursor ") + (on ? "on" : "off"));
    }
    bool isInterruptRunning() const override { return interruptRunning; }
    QueuedVideoSprite* getCursorSprite() override { return nullptr; }
    bool isAlternateMode() const override { return false; }

    // TimerBarHost
    FWidget* timerBarWidget(uint32_t id) override
    {
        auto found = widgets.find(id);
        return found != widgets.end() ? found->second : nullptr;
    }
    FRefT<FImage> timerBarImage(int32_t id) override { return hudImage(id); }
    FRef timerBarSound(int32_t id) override { return token(id); }
    void playRandomComment() override { calls.push_back("comment"); }

    // A sound stand-in named by its asset id; the name survives the handle.
    FRef token(int32_t id)
    {
        FRef& held = tokens[id];
        if (held.get() == nullptr) {
            held = makeRef(engineNew<int32_t>(k_memObject, id));
        }
        return held;
    }
    std::string nameOf(const FRef& sound) const
    {
        return sound.get() != nullptr ? std::to_string(*static_cast<int32_t*>(sound.get())) : "none";
    }
    // The sounds the play services heard, by asset id.
    std::vector<std::string> soundsHeard(const RecordingPlayServices& play) const
    {
        std::vector<std::string> names;
        for (const auto& sound : play.sounds) {
            names.push_back(sound.sound != nullptr ? std::to_string(*static_cast<const int32_t*>(sound.sound))
                                                   : "none");
        }
        return names;
    }

    HudEntryPanel* panel = nullptr;
    FRefT<MapView> map;
    bool panelFlight = true;
    bool interruptRunning = false;
    FRefT<FImage> cellImage;
    std::map<int32_t, FRefT<FImage>> images;
    std::map<int32_t, std::string> texts;
    std::map<uint32_t, FWidget*> widgets;
    std::vector<int32_t> foundLines;
    std::map<int32_t, FRef> tokens;
    std::vector<std::string> calls;
};

} // namespace hudtest
