// The generated layout classes bound against screen files that kittool
// writes from the same manifests: construction and destruction order, the
// shared parts counted per living class, wired buttons, and the language
// swap that reaches labels.
#include "engine/core/KernelTestSupport.h"
#include "support/ScratchFileModules.h"
#include "support/ScreenFiles.h"

#include "LayoutPart12.h"
#include "LayoutPart19.h"
#include "LayoutPart91.h"
#include "ScreenLayout90.h"
#include "ScreenLayout93.h"

#include "asset/FAsset.h"
#include "asset/FScreenModule.h"
#include "asset/FScreenRegistry.h"
#include "core/FApplication.h"
#include "core/FDebug.h"
#include "core/FLocalizedMessages.h"
#include "core/FThreadPoolModule.h"
#include "io/FFileSystemModule.h"
#include "io/FZLibModule.h"
#include "io/FZipModule.h"
#include "ui/FAssetKinds.h"
#include "ui/FWidgetFactory.h"
#include "ui/FWidgetTypes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Sounds and music decode nothing here; every other kind is the engine's.
class QuietAsset : public FAsset
{
};

FRef makeScreenObject(int16_t kind)
{
    if (kind == 2 || kind == 4) return FAsset::handleFor(engineNew<QuietAsset>(k_memObject));
    return FAssetKinds::create(kind);
}

// A press and a release of the left button inside the button: a click.
void click(FButton& button, FPointI point)
{
    button.onPointerDown(0, 8, point);
    button.onPointerUp(0, 8, point);
}

// Stands in the screen slot in front of the module and notes every binding.
class RecordingScreens : public FScreenService
{
public:
    explicit RecordingScreens(FScreenModule& module)
        : FScreenService(FApplication::instance()->serviceSlot(k_slotScreen)), m_module(module)
    {
    }

    FScreenRegistry& registry() override { return m_module.registry(); }
    void readScreenFile(FScreenOwner* owner, int32_t folder, int32_t hint, int32_t language,
                        bool reload) override
    {
        calls.push_back((reload ? "reload " : "bind ") + std::to_string(folder) + (owner ? " owner" : ""));
        m_module.readScreenFile(owner, folder, hint, language, reload);
    }
    void unbind(int32_t folder) override
    {
        calls.push_back("unbind " + std::to_string(folder));
        m_module.unbind(folder);
    }

    std::vector<std::string> calls;

private:
    FScreenModule& m_module;
};

class Screen90 : public ScreenLayout90
{
public:
    std::vector<std::string> clicks;
    void onOkClicked(FLayoutButton& button) override
    {
        clicks.push_back(&button == m_okButton.get() ? "ok" : "ok from another widget");
    }
};

class Screen93 : public ScreenLayout93
{
};

std::string stringOf(const FRef& text)
{
    const FString* string = text.as<FString>();
    return string != nullptr ? string->toUtf8() : std::string("<none>");
}

class LayoutClassTest : public ::testing::Test, protected ScratchFileModules
{
protected:
    void SetUp() override
    {
        FLocalizedMessages::setLanguage(0);
        FWidgetFactory::registerEngineTypes();
        for (const char* folder : {"090", "091", "092", "093"})
            writeScreenFile(std::string(LAYOUT_FIXTURES) + "/" + folder + ".lua");
    }

    void TearDown() override { FLocalizedMessages::setLanguage(0); }

    void writeScreenFile(const std::string& manifest)
    {
        ASSERT_TRUE(writeScreenFiles(manifest, scratch.path()));
    }

    FScreenRegistry& registry() { return module.registry(); }
    bool holdsAsset(int32_t id) { return registry().findInSecond(id).get() != nullptr; }

    RecordingErrorHandler handler;
    FScreenModule module{&makeScreenObject};
    RecordingScreens screens{module};
};

TEST_F(LayoutClassTest, ConstructsPartsFirstAndDestroysInReverse)
{
    {
        Screen90 screen;
        EXPECT_EQ(screens.calls, (std::vector<std::string>{"bind 91", "bind 92", "bind 90 owner"}));
        EXPECT_TRUE(screen.m_binding.isBound());
        EXPECT_EQ(screen.m_binding.owner(), &screen);
        EXPECT_EQ(screen.m_binding.hint(), 12);
        // Every member holds what the folder's file put into the registry.
        EXPECT_EQ(stringOf(screen.m_title), "Hello");
        EXPECT_EQ(stringOf(screen.m_sharedText), "Yes");
        EXPECT_NE(screen.m_screenData.get(), nullptr);
        EXPECT_NE(screen.m_otherData.get(), nullptr);
        ASSERT_NE(screen.m_titleLabel.get(), nullptr);
        EXPECT_EQ(screen.m_titleLabel->text().toUtf8(), "Hello");
        EXPECT_EQ(screen.m_titleLabel->parent(), screen.m_panel.get());
        EXPECT_EQ(screen.m_panel->parent(), &screen);
        EXPECT_EQ(screen.logicalWidth(), 640);
        screens.calls.clear();
    }
    EXPECT_EQ(screens.calls, (std::vector<std::string>{"unbind 90", "unbind 92", "unbind 91"}));
    EXPECT_EQ(registry().assetCount(), 0u);
    EXPECT_EQ(registry().widgetCount(), 0u);
    EXPECT_EQ(registry().textCount(), 0u);
}

TEST_F(LayoutClassTest, HandlesKeepTheirObjectsAfterTheFolderIsReleased)
{
    Screen90 screen;
    module.unbind(90); // as if another owner gave the folder back early
    EXPECT_FALSE(holdsAsset(9001));
    EXPECT_NE(screen.m_screenData.get(), nullptr);
    EXPECT_EQ(stringOf(screen.m_title), "Hello");
    module.readScreenFile(nullptr, 90, 12, 0, false); // the use the destructor gives back
}

TEST_F(LayoutClassTest, SharedPartStaysLoadedWhileAnyScreenUsingItLives)
{
    auto* first = new Screen90;
    EXPECT_EQ(module.useCount(91), 1);
    // A screen switch builds the next screen before the current one goes.
    auto* second = new Screen93;
    EXPECT_EQ(module.useCount(91), 2);
    FAsset* shared = first->m_sharedData.as<FAsset>();
    delete first;
    EXPECT_EQ(module.useCount(91), 1);
    EXPECT_EQ(module.useCount(92), 0);
    EXPECT_TRUE(holdsAsset(9101));
    EXPECT_FALSE(holdsAsset(9201));
    EXPECT_EQ(second->m_sharedData.as<FAsset>(), shared);
    delete second;
    EXPECT_EQ(module.useCount(91), 0);
    EXPECT_FALSE(holdsAsset(9101));
}

TEST_F(LayoutClassTest, WiredButtonsCallTheHandlers)
{
    Screen90 screen;
    click(*screen.m_okButton, {20, 310});
    EXPECT_EQ(screen.clicks, std::vector<std::string>{"ok"});
    // The handler the screen does not override does nothing.
    click(*screen.m_cancelButton, {210, 310});
    EXPECT_EQ(screen.clicks, std::vector<std::string>{"ok"});
}

TEST_F(LayoutClassTest, ReloadTextsSwapsTextsIntoHandlesAndLabels)
{
    Screen90 screen;
    FRef heldElsewhere = screen.m_sharedText; // a handle that shares the member's holder
    screens.calls.clear();
    screen.reloadTexts(1);
    EXPECT_EQ(screens.calls, (std::vector<std::string>{"reload 91", "reload 92", "reload 90 owner"}));
    EXPECT_EQ(stringOf(screen.m_title), "Bonjour");
    EXPECT_EQ(stringOf(screen.m_sharedText), "Oui");
    EXPECT_EQ(stringOf(heldElsewhere), "Oui");
    // The label was given no new handle: it follows the one its record named.
    EXPECT_EQ(screen.m_titleLabel->text().toUtf8(), "Bonjour");
    screen.reloadTexts(0);
    EXPECT_EQ(screen.m_titleLabel->text().toUtf8(), "Hello");
}

TEST_F(LayoutClassTest, LabelGivenItsOwnTextNoLongerFollowsTheFile)
{
    Screen90 screen;
    screen.m_titleLabel->setText(FString(u"Score: 10"));
    screen.reloadTexts(1);
    EXPECT_EQ(screen.m_titleLabel->text().toUtf8(), "Score: 10");
}

TEST_F(LayoutClassTest, AnIdTheFolderLacksIsAFailureNamingFolderAndId)
{
    // Folder 93's file written from a manifest whose caption has another id.
    std::ifstream in(std::string(LAYOUT_FIXTURES) + "/093.lua");
    std::string manifest((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::size_t at; (at = manifest.find("9301")) != std::string::npos;)
        manifest.replace(at, 4, "9309");
    const std::filesystem::path changed = scratch.path() / "changed" / "093.lua";
    std::filesystem::create_directories(changed.parent_path());
    std::ofstream(changed) << manifest;
    writeScreenFile(changed.string());
    EXPECT_THROW(Screen93 screen, FDebug::VellumcoreException);
    ASSERT_FALSE(handler.texts.empty());
    const std::string report = handler.texts.back().toUtf8();
    EXPECT_NE(report.find("folder 93"), std::string::npos) << report;
    EXPECT_NE(report.find("9301"), std::string::npos) << report;
    // The failed construction gave back every folder it had bound.
    EXPECT_EQ(module.useCount(93), 0);
    EXPECT_EQ(module.useCount(91), 0);
}

// The game's own shared parts, bound from the screen files of their manifests.
TEST_F(LayoutClassTest, SharedPromptPartHoldsItsFolderAndSwapsItsTexts)
{
    writeScreenFile(std::string(SCREEN_MANIFESTS) + "/012.lua");
    writeScreenFile(std::string(SCREEN_MANIFESTS) + "/019.lua");
    {
        LayoutPart12 prompt;
        LayoutPart19 menu;
        EXPECT_EQ(registry().assetCount(), 41u + 32u);
        EXPECT_EQ(registry().textCount(), 40u + 8u);
        EXPECT_EQ(prompt.m_gameData.as<FAsset>()->id(), 6650);
        EXPECT_EQ(stringOf(prompt.m_quitQuestion), "Do you really want to quit?");
        FRef before = prompt.m_confirmLabel;
        prompt.reloadTexts(0);
        EXPECT_EQ(stringOf(before), "OK");
    }
    EXPECT_EQ(registry().assetCount(), 0u);
    EXPECT_EQ(module.useCount(12), 0);
}

} // namespace
