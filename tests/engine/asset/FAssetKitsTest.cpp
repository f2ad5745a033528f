#include "engine/asset/ScreenTestSupport.h"

#include "asset/FAssetKits.h"
#include "core/FSystemLocale.h"
#include "io/FFileSystemService.h"
#include "tools/zipwriter/ZipWriter.h"

#include <gtest/gtest.h>

using namespace assettest;

namespace {

FSystemLocale localeOf(int16_t language, int16_t variant)
{
    FSystemLocale locale;
    locale.language = language;
    locale.variant = variant;
    return locale;
}

TEST(AssetKitsTest, SuffixAndPatternsPerLanguage)
{
    struct Case
    {
        int16_t language;
        int16_t variant;
        const char* suffix;
    };
    const Case cases[] = {{0, 26, "_0_26"}, {1, -1, "_1"}, {3, -1, "_3"}, {-1, -1, ""}};
    for (const Case& c : cases) {
        const FString suffix = FAssetKits::languageSuffix(localeOf(c.language, c.variant));
        EXPECT_EQ(suffix.toUtf8(), c.suffix);
        EXPECT_EQ(FAssetKits::mainPattern(suffix).toUtf8(), std::string("Zibbo") + c.suffix + ".zip");
        EXPECT_EQ(FAssetKits::updatePattern(suffix).toUtf8(), std::string("Update") + c.suffix + ".u*");
        EXPECT_EQ(FAssetKits::languagePattern(suffix).toUtf8(), std::string("Language") + c.suffix + ".u*");
    }
}

TEST(AssetKitsTest, PriorityOfUpdateExtensions)
{
    struct Case
    {
        const char16_t* extension;
        int32_t priority;
    };
    const Case cases[] = {{u".u00", 7}, {u".u01", 8}, {u".u02", 9}, {u".u10", 43}, {u".ub0", 43},
                          {u".ua0", 7}, {u".U01", 8}, {u".u", 7},   {u".zip", -1}, {u"", -1}};
    for (const Case& c : cases)
        EXPECT_EQ(FAssetKits::priorityOfExtension(FString(c.extension)), c.priority)
            << FString(c.extension).toUtf8();
}

class KitTest : public ScreenTest
{
protected:
    void kit(const std::string& name, const std::string& member, const std::string& content,
             bool withTarget = false)
    {
        ZipWriter writer;
        writer.add(member, content);
        if (withTarget) writer.add("GWTarget", writeTarget("Zibbo " + name));
        writer.writeTo(scratch.path() / name);
    }

    std::string readByName(const std::string& name)
    {
        FRefT<FInStream> stream;
        files.service().openByName(stream, FString(name.c_str()));
        FInStream* in = waitForRefTarget(stream);
        std::string all(static_cast<size_t>(in->remaining()), '\0');
        in->read(all.data(), static_cast<std::streamsize>(all.size()));
        return all;
    }
};

TEST_F(KitTest, SuffixedKitsWinAndUpdatesOverrideInExtensionOrder)
{
    kit("Zibbo_3.zip", "a.txt", "main", true);
    kit("Zibbo.zip", "b.txt", "unsuffixed main");
    kit("Update_3.u02", "a.txt", "update two");
    kit("Update_3.u01", "a.txt", "update one");
    kit("Language_3.u00", "l.txt", "german");
    screens.loadAssetKits(localeOf(3, -1));
    EXPECT_EQ(readByName("a.txt"), "update two") << ".u02 (9) wins over .u01 (8) and the main kit (6)";
    EXPECT_EQ(readByName("l.txt"), "german");
    EXPECT_EQ(application.name().toUtf8(), "Zibbo Zibbo_3.zip");
    EXPECT_EQ(screens.kits().size(), 4u) << "the unsuffixed main kit is not mounted";
    EXPECT_EQ(failureOf([&] { readByName("b.txt"); }).empty(), false);
}

TEST_F(KitTest, MissingSuffixedKitFallsBackButTheLanguageKitKeepsItsSuffix)
{
    kit("Zibbo.zip", "a.txt", "main", true);
    kit("Update.u00", "a.txt", "update");
    kit("Language.u00", "l.txt", "unsuffixed language");
    kit("Language_3.u00", "l.txt", "german");
    screens.loadAssetKits(localeOf(3, -1));
    EXPECT_EQ(readByName("a.txt"), "update");
    EXPECT_EQ(readByName("l.txt"), "german");
    EXPECT_EQ(screens.kits().size(), 3u);
}

TEST_F(KitTest, NoMainKitIsAFailureNamingIt)
{
    const std::string failure = failureOf([&] { screens.loadAssetKits(localeOf(0, 26)); });
    EXPECT_NE(failure.find("A file required by the application is missing"), std::string::npos) << failure;
    EXPECT_NE(failure.find("Zibbo.zip"), std::string::npos) << failure;
}

// A main kit without its target file, also an empty one, is an installation
// to repair, not a fault of the program.
TEST_F(KitTest, AKitWithoutItsTargetFileIsAMissingFile)
{
    for (const bool empty : {false, true}) {
        SCOPED_TRACE(empty ? "an empty kit" : "a kit without GWTarget");
        ZipWriter writer;
        if (!empty) writer.add("a.txt", "main");
        writer.writeTo(scratch.path() / "Zibbo.zip");
        FScreenModule module(&makeScreenObject);
        const std::string failure = failureOf([&] { module.loadAssetKits(localeOf(0, 26)); });
        EXPECT_NE(failure.find("A file required by the application is missing"), std::string::npos)
            << failure;
        EXPECT_NE(failure.find("GWTarget"), std::string::npos) << failure;
    }
}

TEST_F(KitTest, TargetTextLongerThanItsBlockIsRefused)
{
    ZipWriter writer;
    writer.add("GWTarget", writeTarget(std::string(512, 'x')));
    writer.writeTo(scratch.path() / "Zibbo.zip");
    EXPECT_NE(failureOf([&] { screens.loadAssetKits(localeOf(0, 26)); }).find("GWTarget length (512) <= 511"),
              std::string::npos);
    EXPECT_TRUE(application.name().empty());

    ZipWriter exact;
    exact.add("GWTarget", writeTarget(std::string(511, 'y')));
    exact.writeTo(scratch.path() / "Zibbo.zip");
    FScreenModule again(&makeScreenObject);
    again.loadAssetKits(localeOf(0, 26));
    EXPECT_EQ(application.name().toUtf8(), std::string(511, 'y'));
}

} // namespace
