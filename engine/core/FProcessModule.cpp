#include "core/FProcessModule.h"

#include "core/FAction.h"
#include "core/FApplication.h"
#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "core/FPlatformService.h"
#include "core/FStringStream.h"

#include <cctype>
#include <cwctype>
#include <mutex>

namespace {

std::mutex s_namesLock;
FRefT<FString> s_productShortName;
FRefT<FString> s_productTitle;

bool isBlank(char16_t unit)
{
    return std::iswspace(static_cast<wint_t>(unit)) != 0;
}

bool isAlphanumeric(char16_t unit)
{
    return std::iswalnum(static_cast<wint_t>(unit)) != 0;
}

// A word that starts with a slash and has another slash before any colon or
// blank names a file, not a switch.
bool startsPath(std::u16string_view rest)
{
    for (std::size_t i = 1; i < rest.size(); ++i) {
        if (rest[i] == u'/') return true;
        if (rest[i] == u':' || rest[i] == u'"' || isBlank(rest[i])) return false;
    }
    return false;
}

void storeArgument(FProcessService::Arguments& arguments, const FString& name, const FString& value)
{
    arguments[name] = value;
    ZIBBO_LOG(k_logDefault, false) << name << ": " << value;
}

FString positionalName(int& position)
{
    FStringStream text;
    text << position++;
    return text.take();
}

} // namespace

FProcessModule::Service::Service(FProcessModule& owner)
    : FProcessService(findServiceSlot(k_slotProcess)), m_owner(owner)
{
}

void FProcessModule::Service::post(FAction* action)
{
    m_owner.postAction(action);
}

void FProcessModule::Service::requestQuitAndCloseWindow()
{
    // The window belongs to the graphics service, which closes it when it
    // sees the quit.
    m_owner.requestQuit();
}

bool FProcessModule::Service::runOnce(int)
{
    return m_owner.runLoopStep();
}

void FProcessModule::Service::processActionsNow()
{
    m_owner.processActions(false);
}

FProcessModule::FProcessModule(FRefT<FString> commandLine)
    : FThreadedModule(k_periodMs), m_service(*this), m_commandLine(std::move(commandLine))
{
    if (m_commandLine.get()) parseCommandLine(*m_commandLine.get(), m_arguments);
    setInline(true);
    task().reset();

    const int language = FApplication::readInstalledLanguage();
    FRefT<FString> shortName = makeSharedStringCopy(FString("Zibbo"));
    FRefT<FString> title =
        makeSharedStringCopy(FString(language == 1 ? "Zobbo au Loin" : "Zibbo Far Afield"));
    {
        std::lock_guard<std::mutex> lock(s_namesLock);
        s_productShortName = shortName;
        s_productTitle = title;
    }
    wakeUp();
}

FProcessModule::~FProcessModule()
{
    m_arguments.clear();
}

FRefT<FString> FProcessModule::productShortName()
{
    std::lock_guard<std::mutex> lock(s_namesLock);
    return s_productShortName;
}

FRefT<FString> FProcessModule::productTitle()
{
    std::lock_guard<std::mutex> lock(s_namesLock);
    return s_productTitle;
}

void FProcessModule::tick(uint32_t elapsedMs)
{
    if (auto* platform = findService<FPlatformService>(k_slotPlatform)) {
        if (platform->pumpMessages(elapsedMs) != 0) requestQuit();
    }
    wakeUp();
}

bool FProcessModule::runLoopStep()
{
    runOnce();
    return !quitRequested();
}

void FProcessModule::parseCommandLine(const FString& commandLine, FProcessService::Arguments& arguments)
{
    enum State {
        k_between,
        k_name,
        k_value,
        k_quoted,
    };
    State state = k_between;
    FString name, value;
    int position = 0;
    const std::u16string_view text = commandLine.view();
    // Where the switch being read starts, for the failure texts: the player
    // (or a shortcut) typed it and must see which word is wrong.
    std::size_t switchStart = 0;
    const auto currentWord = [&] {
        std::size_t end = switchStart;
        while (end < text.size() && !isBlank(text[end]))
            ++end;
        return text.substr(switchStart, end - switchStart);
    };
    const auto failNameless = [&] {
        ZIBBO_FAIL_TEXT("Malformed command line: " << currentWord()
                                                   << " gives a value to a switch without a name");
    };
    // A value ends at a blank, its closing quote or the end of the line; a
    // value without a name ("/:x") is malformed.
    const auto storeValue = [&] {
        if (name.empty()) failNameless();
        storeArgument(arguments, name, value);
    };

    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        switch (state) {
        case k_between:
            if (unit == u'/' && !startsPath(text.substr(i))) {
                name.clear();
                switchStart = i;
                state = k_name;
            } else if (isBlank(unit)) {
            } else if (unit == u'"') {
                name = positionalName(position);
                value.clear();
                state = k_quoted;
            } else {
                name = positionalName(position);
                value.clear();
                value.pushBack(unit);
                state = k_value;
            }
            break;
        case k_name:
            if (unit == u':') {
                if (name.empty()) failNameless();
                value.clear();
                state = k_value;
            } else if (isBlank(unit)) {
                storeArgument(arguments, name, FString());
                state = k_between;
            } else if (isAlphanumeric(unit)) {
                name.pushBack(unit);
            } else {
                ZIBBO_FAIL_TEXT(
                    "Malformed command line: the switch "
                    << currentWord() << " holds '" << unit
                    << "'; a switch name is made of letters and digits, and ':' starts its value");
            }
            break;
        case k_value:
            if (unit == u'"' && value.empty()) {
                state = k_quoted;
            } else if (isBlank(unit)) {
                storeValue();
                state = k_between;
            } else {
                value.pushBack(unit);
            }
            break;
        case k_quoted:
            if (unit == u'"') {
                storeValue();
                state = k_between;
            } else {
                value.pushBack(unit);
            }
            break;
        }
    }

    if (state == k_name) {
        storeArgument(arguments, name, FString());
    } else if (state == k_value || state == k_quoted) {
        storeValue();
    }
}

std::string FProcessModule::joinCommandLine(const std::vector<std::string>& words)
{
    std::string line;
    for (const std::string& word : words) {
        if (!line.empty()) line += ' ';
        const bool blank = word.find_first_of(" \t\n\r\v\f") != std::string::npos;
        if (!blank && !word.empty()) {
            line += word;
            continue;
        }
        // A switch keeps its name outside the quotes, so that it stays a switch.
        std::size_t colon = std::string::npos;
        if (word.size() > 1 && word[0] == '/') {
            const std::size_t end = word.find(':');
            bool alphanumeric = end != std::string::npos && end > 1;
            for (std::size_t i = 1; alphanumeric && i < end; ++i)
                alphanumeric = std::isalnum(static_cast<unsigned char>(word[i])) != 0;
            if (alphanumeric) colon = end;
        }
        if (colon != std::string::npos)
            line += word.substr(0, colon + 1) + '"' + word.substr(colon + 1) + '"';
        else
            line += '"' + word + '"';
    }
    return line;
}
