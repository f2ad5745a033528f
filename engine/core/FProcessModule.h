#pragma once

#include "core/FProcessService.h"
#include "core/FRef.h"
#include "core/FString.h"
#include "core/FThreadedModule.h"

#include <atomic>
#include <string>
#include <vector>

// The threaded module of the main thread. It runs inline: the application
// runner calls its runOnce step until a quit is requested, and that loop is
// the program's main loop. Each millisecond it pumps the window's events;
// between ticks it runs the actions other threads post to the main thread.
class FProcessModule : public FThreadedModule
{
public:
    static constexpr int k_priority = 13;
    static constexpr int32_t k_periodMs = 1;

    explicit FProcessModule(FRefT<FString> commandLine);
    ~FProcessModule() override;

    int priority() const override { return k_priority; }
    void tick(uint32_t elapsedMs) override;

    void requestQuit() { m_quitRequested = true; }
    bool quitRequested() const { return m_quitRequested.load(); }
    // One step of the main loop; false once a quit was requested.
    bool runLoopStep();
    const FProcessService::Arguments& arguments() const { return m_arguments; }

    // Fills `arguments` from `commandLine`: /name and /name:value switches
    // (alphanumeric names), positional words numbered from 0, double quotes
    // keeping blanks. A word that starts with a slash and has another slash
    // before any colon is a path, so a positional word. Syntax errors raise
    // failures.
    static void parseCommandLine(const FString& commandLine, FProcessService::Arguments& arguments);

    // Joins program arguments (UTF-8) into one command line that
    // parseCommandLine reads back into the same words.
    static std::string joinCommandLine(const std::vector<std::string>& words);

    // Process-wide texts: the product's short name and its title in the
    // installed language. Empty handles before the first process module.
    static FRefT<FString> productShortName();
    static FRefT<FString> productTitle();

private:
    class Service final : public FProcessService
    {
    public:
        explicit Service(FProcessModule& owner);
        void post(FAction* action) override;
        void requestQuitAndCloseWindow() override;
        void requestQuit() override { m_owner.requestQuit(); }
        bool runOnce(int flag) override;
        void processActionsNow() override;
        const Arguments& arguments() override { return m_owner.m_arguments; }

    private:
        FProcessModule& m_owner;
    };

    Service m_service;
    std::atomic<bool> m_quitRequested{false};
    FRefT<FString> m_commandLine;
    FProcessService::Arguments m_arguments;
};
