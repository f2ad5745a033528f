#pragma once

// Runs scripts the way the game does: an application with the file-system
// module, the scripts written below "Scripts/" in a scratch current folder.

#include "engine/core/KernelTestSupport.h"

#include "core/FApplication.h"
#include "core/FDebug.h"
#include "core/FThreadAlert.h"
#include "io/FFileSystemModule.h"
#include "script/FScriptInstance.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>

class ScriptTest : public ::testing::Test
{
protected:
    ScriptTest() { std::filesystem::create_directories(m_scratch.path() / "Scripts"); }

    ~ScriptTest() override
    {
        // A failed script makes the main thread unwind at its next wait; calls a
        // test did not meet must not reach the next test.
        auto self = FThreadAlert::current();
        for (bool ran = true; ran;) {
            try {
                ran = self->runQueuedCalls();
            } catch (const FDebug::TreatedException&) {
                ran = true;
            }
        }
        self->consumeAlert();
    }

    void writeScript(const std::string& name, const std::string& text)
    {
        std::ofstream(m_scratch.path() / "Scripts" / name, std::ios::binary) << text;
    }

    std::unique_ptr<FScriptInstance> run(const std::string& name, const std::string& text,
                                         std::uint64_t budget = FScriptLimits::k_defaultInstructionBudget)
    {
        FScriptLimits::Bounds bounds;
        bounds.instructionBudget = budget;
        return run(name, text, std::move(bounds));
    }

    std::unique_ptr<FScriptInstance> run(const std::string& name, const std::string& text,
                                         FScriptLimits::Bounds bounds)
    {
        writeScript(name, text);
        return std::make_unique<FScriptInstance>(m_application, name.c_str(), std::move(bounds));
    }

    // Runs `action`, which must raise one failure whose text starts with `message`.
    void expectFailure(const std::function<void()>& action, const std::string& message)
    {
        std::size_t before = m_handler.texts.size();
        EXPECT_THROW(action(), FDebug::VellumcoreException);
        ASSERT_EQ(m_handler.texts.size(), before + 1);
        std::string text = utf8(m_handler.texts.back());
        EXPECT_EQ(text.substr(0, message.size()), message) << text;
        EXPECT_NE(text.find("script/FScriptInstance ("), std::string::npos) << text;
    }

    const FString& lastFailure() const { return m_handler.texts.back(); }

    // The application-data folders are made below the scratch folder.
    struct DataFolders
    {
        explicit DataFolders(const std::filesystem::path& root)
        {
            setenv("XDG_DATA_HOME", root.c_str(), 1);
            setenv("XDG_DATA_DIRS", root.c_str(), 1);
        }
    };

    ScratchFolder m_scratch;
    DataFolders m_dataFolders{m_scratch.path()};
    // Installed before the application, so its platform utilities keep it.
    RecordingErrorHandler m_handler;
    FApplication m_application;
    FFileSystemModule m_files;
};
