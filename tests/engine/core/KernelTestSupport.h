#pragma once

// Shared helpers of the kernel tests: a recording error handler, printing of
// FString in assertion messages, and a scratch folder to run in.

#include "core/FErrorHandler.h"
#include "core/FString.h"

#include <filesystem>
#include <ostream>
#include <random>
#include <string>
#include <vector>

inline void PrintTo(const FString& text, std::ostream* out)
{
    *out << '"' << text.toUtf8() << '"';
}

inline std::string utf8(const FString& text)
{
    return text.toUtf8();
}

// Records every failure text. With `firstOnly` it answers like the real
// handler (true for the first failure only), otherwise always true.
class RecordingErrorHandler : public FErrorHandler
{
public:
    explicit RecordingErrorHandler(bool firstOnly = false) : m_firstOnly(firstOnly)
    {
        m_previous = FErrorHandler::install(this);
    }
    ~RecordingErrorHandler() override { FErrorHandler::install(m_previous); }

    bool handleError(const FString& text) override
    {
        texts.push_back(text);
        return !m_firstOnly || texts.size() == 1;
    }

    std::vector<FString> texts;

private:
    bool m_firstOnly;
    FErrorHandler* m_previous;
};

// Runs the test in a fresh folder below the system's temporary folder and
// returns to the previous folder afterwards.
class ScratchFolder
{
public:
    ScratchFolder() : m_previous(std::filesystem::current_path())
    {
        std::random_device seed;
        m_path = std::filesystem::temp_directory_path() / ("zibbo-kernel-" + std::to_string(seed()));
        std::filesystem::create_directories(m_path);
        std::filesystem::current_path(m_path);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::current_path(m_previous, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};
