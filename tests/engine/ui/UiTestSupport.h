#pragma once

#include "asset/FAssetStream.h"
#include "asset/FScreenRegistry.h"
#include "core/FMemory.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "ui/FContainer.h"
#include "ui/FScreen.h"
#include "ui/FSkin.h"

#include <string>
#include <vector>

inline FRefT<FInStream> streamOver(const std::vector<uint8_t>& bytes)
{
    return FAssetStream::makeCopy(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// A skin read from its kind data, its parts taken from the registry.
inline FRefT<FSkin> readSkin(const SkinData& data, FScreenRegistry& registry)
{
    FRefT<FSkin> skin(makeRef(engineNew<FSkin>(k_memObject)));
    FRefT<FInStream> stream = streamOver(skinKindData(data));
    skin->readKindData(*stream.get());
    skin->resolveLinks(registry);
    return skin;
}

// A leaf that logs what reaches it: "name:event(args)".
class LoggingWidget : public FWidget
{
public:
    LoggingWidget(FContainer* parent, std::string name, std::vector<std::string>& log, FRectI rect)
        : FWidget(parent, true), m_name(std::move(name)), m_log(log)
    {
        setWidgetRect(rect);
    }

    void draw(FDrawContext&) override { m_log.push_back(m_name + ":draw"); }
    void onPointerDown(int32_t pointer, int32_t, const FPointI& p) override
    {
        m_log.push_back(m_name + ":down" + where(pointer, p));
    }
    void onPointerUp(int32_t pointer, int32_t, const FPointI& p) override
    {
        m_log.push_back(m_name + ":up" + where(pointer, p));
    }
    void onPointerEnter(int32_t pointer, const FPointI& p) override
    {
        m_log.push_back(m_name + ":enter" + where(pointer, p));
    }
    void onPointerMove(int32_t pointer, const FPointI& p) override
    {
        m_log.push_back(m_name + ":move" + where(pointer, p));
    }
    void onPointerLeave(int32_t pointer) override
    {
        m_log.push_back(m_name + ":leave(" + std::to_string(pointer) + ")");
    }
    void onResized() override { m_log.push_back(m_name + ":resized"); }
    void onMoved() override { m_log.push_back(m_name + ":moved"); }

private:
    static std::string where(int32_t pointer, const FPointI& p)
    {
        return "(" + std::to_string(pointer) + " " + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
    }

    std::string m_name;
    std::vector<std::string>& m_log;
};

// A screen whose display size the test chooses.
class TestScreen : public FScreen
{
public:
    FPointI display{1024, 768};
    FPointI displaySize() override { return display; }
    void reloadTexts(int32_t) override {}
};
