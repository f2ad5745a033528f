#pragma once

// Saving to and loading from XML text in memory through the same handles the
// serializer gets for files, and checking raised failures.

#include "engine/core/KernelTestSupport.h"

#include "core/FDebug.h"
#include "core/FMemory.h"
#include "core/FXmlSerializer.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

// Runs `body` on a saving serializer and answers the text it wrote.
inline std::string saveXml(const std::function<void(FXmlSerializer&)>& body)
{
    FRefT<std::ostringstream> file = makeSignaledRef(engineNew<std::ostringstream>(k_memObject));
    {
        FXmlSerializer serializer(file, FXmlSerializer::ForWrite{});
        body(serializer);
    }
    return file->str();
}

// Runs `body` on a serializer loading `text`.
inline void loadXml(const std::string& text, const std::function<void(FXmlSerializer&)>& body)
{
    FRefT<std::istringstream> file = makeSignaledRef(engineNew<std::istringstream>(k_memObject, text));
    FXmlSerializer serializer(file);
    body(serializer);
}

// Runs `action`, which must raise exactly one failure whose text starts with
// `message`, followed by the source location in `file`.
inline void expectFailure(const std::function<void()>& action, const std::string& message,
                          const std::string& file = "core/FXmlSerializer (")
{
    RecordingErrorHandler handler;
    EXPECT_THROW(action(), FDebug::VellumcoreException);
    ASSERT_EQ(handler.texts.size(), 1u);
    std::string text = utf8(handler.texts[0]);
    EXPECT_EQ(text.substr(0, message.size() + 2), message + "\n\n") << text;
    EXPECT_NE(text.find(file), std::string::npos) << text;
}
