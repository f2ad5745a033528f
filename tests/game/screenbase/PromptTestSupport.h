#pragma once

// The prompt folders (12, 27 and 30) as screen files that kittool writes from
// the game's own manifests into a scratch folder, the screen module that
// reads them, and prompt screens that record how they were answered.

#include "support/ScratchFileModules.h"
#include "support/ScreenFiles.h"

#include "asset/FAsset.h"
#include "asset/FScreenModule.h"
#include "core/FLocalizedMessages.h"
#include "core/FString.h"
#include "game/screenbase/SystemMessageScreen.h"
#include "ui/FAssetKinds.h"
#include "ui/FScreenFactory.h"
#include "ui/FWidgetFactory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace prompttest {

// Sounds and music decode nothing here; every other kind is the engine's.
class QuietAsset : public FAsset
{
};

inline FRef makeScreenObject(int16_t kind)
{
    if (kind == 2 || kind == 4) return FAsset::handleFor(engineNew<QuietAsset>(k_memObject));
    return FAssetKinds::create(kind);
}

inline FRef textRef(const char* text)
{
    return makeStringRef(engineNew<FString>(k_memObject, text));
}

inline bool shown(const FRef& widget)
{
    return widget.as<FWidget>()->isVisible();
}

inline int backdropAlpha(const PromptScreen& screen)
{
    return static_cast<int>(screen.m_backdrop->widgetColour() >> 24);
}

// What the front prompt is: "kind K type T option O", or "none".
inline std::string frontOf(const PromptScreen& screen)
{
    if (screen.queueSize() == 0) return "none";
    const PromptMessage& m = screen.frontMessage();
    return "kind " + std::to_string(m.kind) + " type " + std::to_string(m.type) + " option " +
           std::to_string(m.option);
}

// A press and a release of the left button at the centre of the button: a
// click.
inline void click(FButton& button)
{
    const FRectI& r = button.rect();
    const FPointI point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    button.onPointerDown(0, 8, point);
    button.onPointerUp(0, 8, point);
}

// The screen files of the prompt folders, written by kittool once per test
// process into a folder of their own and removed at exit.
class PromptScreenFiles
{
public:
    static const std::filesystem::path& folder()
    {
        static PromptScreenFiles files;
        return files.m_path;
    }

private:
    PromptScreenFiles()
    {
        std::random_device seed;
        m_path = std::filesystem::temp_directory_path() / ("zibbo-prompt-files-" + std::to_string(seed()));
        std::filesystem::create_directories(m_path);
        for (const char* folder : {"012", "027", "030"}) {
            writeScreenFiles(std::string(SCREEN_MANIFESTS) + "/" + folder + ".lua", m_path);
        }
    }
    ~PromptScreenFiles()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }

    std::filesystem::path m_path;
};

// Puts the screen files of the prompt folders into the scratch folder before
// any screen binds them.
struct PromptFolders : ScratchFileModules
{
    PromptFolders()
    {
        FLocalizedMessages::setLanguage(0);
        FWidgetFactory::registerEngineTypes();
        std::filesystem::copy(PromptScreenFiles::folder(), scratch.path(),
                              std::filesystem::copy_options::recursive);
    }

    RecordingErrorHandler handler;
    FScreenModule screens{&makeScreenObject};
};

// Notes each answer as "confirm KIND" or "cancel", with the front kind and
// the queue size the handler saw.
template <class Base> class Recording : public Base
{
public:
    void onConfirmMessage(int32_t kind) override
    {
        answers.push_back("confirm " + std::to_string(kind) + seen());
        Base::onConfirmMessage(kind);
    }
    void onCancel() override
    {
        answers.push_back("cancel" + seen());
        Base::onCancel();
    }

    std::vector<std::string> take() { return std::exchange(answers, {}); }

    std::vector<std::string> answers;

private:
    std::string seen() const
    {
        return " (front " + std::to_string(this->getFrontMessageKind()) + ", size " +
               std::to_string(this->queueSize()) + ")";
    }
};

// Builds a `ScreenClass` for every kind.
template <class ScreenClass> class PromptFactory : public FScreenFactory
{
public:
    FRefT<FScreen> createScreen(int32_t) override
    {
        return FRefT<FScreen>(makeRef<FScreen>(engineNew<ScreenClass>(k_memObject)));
    }
};

} // namespace prompttest
