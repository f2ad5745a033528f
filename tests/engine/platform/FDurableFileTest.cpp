#include "platform/FDurableFile.h"

#include "io/FNativePath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

class FDurableFileTest : public testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zibbo-durable-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    FString path(const std::string& name)
    {
        FString engine;
        EXPECT_TRUE(FNativePath::toEngine(m_folder / name, engine));
        return engine;
    }

    std::filesystem::path m_folder;
};

TEST_F(FDurableFileTest, WritesReadsReplacesAndRemoves)
{
    ASSERT_TRUE(FDurableFile::write(path("a"), "hello", 5));
    ASSERT_TRUE(FDurableFile::write(path("b"), "", 0));
    std::string bytes = "stale";
    ASSERT_TRUE(FDurableFile::read(path("a"), bytes, 5));
    EXPECT_EQ(bytes, "hello");
    ASSERT_TRUE(FDurableFile::read(path("b"), bytes, 5));
    EXPECT_EQ(bytes, "");
    // Larger than allowed, missing and a folder are refused and leave the bytes.
    bytes = "kept";
    EXPECT_FALSE(FDurableFile::read(path("a"), bytes, 4));
    EXPECT_FALSE(FDurableFile::read(path("none"), bytes, 100));
    EXPECT_FALSE(FDurableFile::read(path(""), bytes, 100));
    EXPECT_EQ(bytes, "kept");

    ASSERT_TRUE(FDurableFile::replace(path("a"), path("b")));
    EXPECT_FALSE(FDurableFile::exists(path("a")));
    ASSERT_TRUE(FDurableFile::read(path("b"), bytes, 100));
    EXPECT_EQ(bytes, "hello");
    EXPECT_FALSE(FDurableFile::replace(path("a"), path("c")));

    EXPECT_TRUE(FDurableFile::remove(path("b")));
    EXPECT_TRUE(FDurableFile::remove(path("b"))); // already gone
    EXPECT_FALSE(FDurableFile::exists(path("b")));
    EXPECT_TRUE(FDurableFile::flushFolder(path("")));
}

TEST_F(FDurableFileTest, AWriteThatCannotHappenLeavesNoFile)
{
    EXPECT_FALSE(FDurableFile::write(path("missing/a"), "x", 1));
    std::ofstream(m_folder / "plain") << "x";
    EXPECT_FALSE(FDurableFile::write(path("plain/a"), "x", 1));
    EXPECT_FALSE(FDurableFile::flushFolder(path("missing")));
    EXPECT_FALSE(FDurableFile::exists(path("missing/a")));
}

} // namespace
