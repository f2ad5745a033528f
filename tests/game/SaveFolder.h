#pragma once

#include "game/core/SaveManager.h"
#include "io/FNativePath.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// A fresh user data folder per test: XDG_DATA_HOME points into a temporary
// folder, and save managers made in the test attach below it.
class SaveFolderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zibbo-saves-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_base = pattern;
        const char* previous = std::getenv("XDG_DATA_HOME");
        m_hadPrevious = previous != nullptr;
        if (m_hadPrevious) m_previous = previous;
        setenv("XDG_DATA_HOME", m_base.c_str(), 1);
    }

    void TearDown() override
    {
        if (m_hadPrevious) {
            setenv("XDG_DATA_HOME", m_previous.c_str(), 1);
        } else {
            unsetenv("XDG_DATA_HOME");
        }
        std::error_code ignored;
        std::filesystem::remove_all(m_base, ignored);
    }

    // The folder a save manager attaches (made by attaching).
    std::filesystem::path folder()
    {
        SaveManager manager;
        manager.attachDefaultFileSystem();
        return FNativePath::toNative(manager.fileSystem()->root());
    }

    std::string readFile(const std::string& name)
    {
        std::ifstream in(folder() / name, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    void writeFile(const std::string& name, const std::string& bytes)
    {
        std::ofstream out(folder() / name, std::ios::binary | std::ios::trunc);
        out << bytes;
    }

    // Save managers made from now on get a data folder below a plain file,
    // which cannot be made.
    void blockDataFolder()
    {
        writeFile("plain", "x");
        setenv("XDG_DATA_HOME", (folder() / "plain").c_str(), 1);
    }

    bool exists(const std::string& name) { return std::filesystem::exists(folder() / name); }

    std::string m_base;
    std::string m_previous;
    bool m_hadPrevious = false;
};
