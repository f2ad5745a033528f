#include "core/FUtilPlatform.h"

#include "core/FApplication.h"
#include "core/FClockService.h"
#include "core/FDebug.h"
#include "core/FDelegate.h"
#include "core/FFatalMessageBox.h"
#include "core/FOperatingSystem.h"
#include "core/FProcessModule.h"
#include "core/FStderrErrorHandler.h"
#include "core/FString.h"
#include "core/FThreadAlert.h"
#include "core/FWaitable.h"

#include <fstream>

namespace {

using Clock = FWaitable::Clock;

// How long a signal wait looks at its signal before it looks at the run state
// and the calls queued for its thread again.
constexpr uint32_t k_signalPollMs = 10;

bool asciiEqualNoCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'a' && x <= u'z') x = static_cast<char16_t>(x - u'a' + u'A');
        if (y >= u'a' && y <= u'z') y = static_cast<char16_t>(y - u'a' + u'A');
        if (x != y) return false;
    }
    return true;
}

// Splits "KEY\PATH\VALUE" into the key (with its final backslash) and the
// value name; false when either part is longer than the registry allows.
bool splitRegistryPath(std::u16string_view path, std::u16string_view& key, std::u16string_view& name)
{
    const std::size_t cut = path.rfind(u'\\');
    key = cut == std::u16string_view::npos ? std::u16string_view() : path.substr(0, cut + 1);
    name = cut == std::u16string_view::npos ? path : path.substr(cut + 1);
    return key.size() <= FUtilPlatform::k_registryPartUnits &&
           name.size() <= FUtilPlatform::k_registryPartUnits;
}

} // namespace

FUtilPlatform::FUtilPlatform()
{
    auto* callback = makeObjectDelegate(this, &FUtilPlatform::memoryUse);
    m_memoryUseCallback = makeRefHolder(callback);
    // A handler or waiter that a test (or the program) installed before
    // stays in place.
    m_previousHandler = FErrorHandler::install(this);
    m_ownsHandler = dynamic_cast<FStderrErrorHandler*>(m_previousHandler) != nullptr;
    if (!m_ownsHandler) FErrorHandler::install(m_previousHandler);
    m_previousWaiter = FSignal::installWaiter(this);
    m_ownsWaiter = m_previousWaiter == nullptr;
    if (!m_ownsWaiter) FSignal::installWaiter(m_previousWaiter);
}

FUtilPlatform::~FUtilPlatform()
{
    if (m_ownsWaiter) FSignal::installWaiter(m_previousWaiter);
    if (m_ownsHandler) FErrorHandler::install(m_previousHandler);
}

FUtilPlatform::Slices FUtilPlatform::slicesFor(uint32_t timeoutMs)
{
    if (timeoutMs == k_infinite) return Slices{k_infinite, k_sliceMs};
    return Slices{timeoutMs >> 12, timeoutMs & 0xFFFu};
}

bool FUtilPlatform::honourRunState()
{
    FThreadAlert& self = *FThreadAlert::current();
    for (;;) {
        const RunState state = runState();
        if (state == k_stopping) throw FDebug::TreatedException();
        if (state != k_paused) return false;
        // Time does not run out while the fatal message is shown; a queued
        // call that runs meanwhile lets the wait go on.
        const Clock::time_point until = Clock::now() + std::chrono::milliseconds(k_pauseStepMs);
        if (self.sleepUntil(&until) && self.runQueuedCalls()) return true;
    }
}

bool FUtilPlatform::waitAlertable(FWaitable* object, uint32_t timeoutMs)
{
    FThreadAlert& self = *FThreadAlert::current();
    const Slices slices = slicesFor(timeoutMs);
    const bool endless = slices.fullSlices == k_infinite;
    uint32_t fullLeft = slices.fullSlices;
    bool lastDone = false;

    while (endless || fullLeft > 0 || !lastDone) {
        const uint32_t sliceMs = (endless || fullLeft > 0) ? k_sliceMs : slices.lastSliceMs;
        honourRunState();
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(sliceMs);
        FWaitable::Result result;
        for (;;) {
            if (object) {
                result = object->waitUntil(self, &deadline);
            } else {
                result =
                    self.sleepUntil(&deadline) ? FWaitable::Result::alerted : FWaitable::Result::timedOut;
            }
            if (result != FWaitable::Result::alerted) break;
            // A queued call that ran spends the slice; an alert without a call
            // is a run-state change, which is looked at before the slice goes on.
            if (self.runQueuedCalls()) break;
            honourRunState();
        }
        if (result == FWaitable::Result::signalled) {
            if (auto* clock = findService<FClockService>(k_slotClock)) m_lastWakeMs = clock->now();
            return true;
        }
        if (!endless) {
            if (fullLeft > 0)
                --fullLeft;
            else
                lastDone = true;
        }
    }
    return false;
}

bool FUtilPlatform::wait(FWaitable* object, uint32_t timeoutMs)
{
    FApplication* application = FApplication::instance();
    if (application && application->platformUtilities())
        return application->platformUtilities()->waitAlertable(object, timeoutMs);

    FThreadAlert& self = *FThreadAlert::current();
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const Clock::time_point* until = timeoutMs == k_infinite ? nullptr : &deadline;
    for (;;) {
        FWaitable::Result result =
            object ? object->waitUntil(self, until)
                   : (self.sleepUntil(until) ? FWaitable::Result::alerted : FWaitable::Result::timedOut);
        if (result != FWaitable::Result::alerted) return result == FWaitable::Result::signalled;
        self.runQueuedCalls();
    }
}

bool FUtilPlatform::waitPlain(FWaitable& object, uint32_t timeoutMs)
{
    FThreadAlert& self = *FThreadAlert::current();
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const Clock::time_point* until = timeoutMs == k_infinite ? nullptr : &deadline;
    bool alerted = false;
    FWaitable::Result result;
    while ((result = object.waitUntil(self, until)) == FWaitable::Result::alerted)
        alerted = true;
    if (alerted) self.alert();
    return result == FWaitable::Result::signalled;
}

void FUtilPlatform::setRunState(RunState state)
{
    m_runState = state;
    // Every waiting thread looks at the new state at once rather than at the
    // end of its current slice.
    FThreadAlert::alertAll();
}

bool FUtilPlatform::showFatalMessage(const char* utf8Text)
{
    return showFatalMessage(FString(utf8Text));
}

bool FUtilPlatform::showFatalMessage(const FString& text)
{
    {
        FMutexLock lock(*this);
        if (runState() != k_running) return false;
        setRunState(k_paused);
    }
    FRefT<FString> title = FProcessModule::productTitle();
    FFatalMessageBox::current().show(title.get() ? *title.get() : FString(), text);
    {
        FMutexLock lock(*this);
        setRunState(k_stopping);
    }
    return true;
}

bool FUtilPlatform::handleError(const FString& text)
{
    return showFatalMessage(text);
}

void FUtilPlatform::waitSignal(FSignal& signal)
{
    FThreadAlert& self = *FThreadAlert::current();
    for (;;) {
        honourRunState();
        if (signal.waitFor(k_signalPollMs)) return;
        if (self.consumeAlert()) self.runQueuedCalls();
    }
}

std::string FUtilPlatform::registryFilePath()
{
    const std::string folder = FOperatingSystem::current().folder(FOperatingSystem::k_sharedConfigFolder);
    return folder.empty() ? std::string() : folder + "/Nuvant/Zibbo/registry.ini";
}

FRefT<FString> FUtilPlatform::readRegistryString(const FString& path)
{
    std::u16string_view key, name;
    if (!splitRegistryPath(path.view(), key, name)) return FRefT<FString>(makeNullRef());

    std::ifstream file(registryFilePath());
    std::string line;
    while (file && std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const FString lineKey(line.substr(0, equals).c_str());
        std::u16string_view storedKey, storedName;
        if (!splitRegistryPath(lineKey.view(), storedKey, storedName)) continue;
        if (!asciiEqualNoCase(storedKey, key) || !asciiEqualNoCase(storedName, name)) continue;
        // The value fills at most the buffer less its end marker.
        const FString value(line.substr(equals + 1).c_str());
        const std::size_t units = std::min(value.length(), k_registryBufferUnits - 1);
        return makeSharedStringCopy(FString(value.begin(), value.begin() + units));
    }
    return FRefT<FString>(makeNullRef());
}

void FUtilPlatform::memoryUse()
{
    uint32_t residentKB = 0, peakKB = 0;
    if (!FOperatingSystem::current().memoryUse(residentKB, peakKB)) return;
    FApplication* application = FApplication::instance();
    if (!application) return;
    application->setMemoryUse(residentKB, peakKB);
}
