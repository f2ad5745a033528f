#include "ui/FScreen.h"

#include "asset/FScreenService.h"
#include "core/FApplication.h"
#include "core/FKeyCode.h"
#include "core/FLogChannel.h"
#include "core/FLogStream.h"
#include "core/FServiceSlots.h"
#include "graphics/FGraph.h"
#include "io/FInStream.h"
#include "ui/FAppUserInterfaceModule.h"

bool FScreen::s_appActive = true;

namespace {

// Pad buttons that navigate: the stick directions and confirm.
uint32_t navigationKey(int32_t button)
{
    switch (button) {
    case 0:
        return 0xE003;
    case 1:
        return 0xE004;
    case 2:
        return 0xE005;
    case 3:
        return 0xE006;
    case 6:
        return 32;
    default:
        return 0;
    }
}

} // namespace

FScreen::FScreen() : m_focus(this)
{
    if (auto* screens = findService<FScreenService>(k_slotScreen)) m_registry = &screens->registry();
}

FScreen::~FScreen() = default;

void FScreen::routeKeyDown(uint32_t key)
{
    onKeyPreview(key);
    if (m_focus != nullptr && m_focus->isVisible()) {
        if (FWidget* neighbour = m_focus->lookupNeighbour(key)) {
            setFocus(neighbour);
        } else {
            m_focus->onKeyDown(key);
        }
        return;
    }
    onKeyDown(key);
}

FWidget* FScreen::captured(int32_t pointer, const FPointI& point, FPointI& local)
{
    FWidget* widget = m_capture[pointer & 3];
    if (widget != nullptr) {
        local = point;
        widget->toParentSpace(local);
    }
    return widget;
}

void FScreen::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    const uint32_t key = navigationKey(button);
    if (key != 0 && m_focus != nullptr && m_focus->isVisible() && m_focus != this) {
        if (FWidget* neighbour = m_focus->lookupNeighbour(key)) {
            setFocus(neighbour);
        } else {
            m_focus->onPointerDown(pointer, button, point);
        }
        return;
    }
    FPointI local;
    if (FWidget* widget = captured(pointer, point, local)) {
        widget->onPointerDown(pointer, button, local);
        return;
    }
    FContainer::onPointerDown(pointer, button, point);
}

void FScreen::onPointerMove(int32_t pointer, const FPointI& point)
{
    FPointI local;
    if (FWidget* widget = captured(pointer, point, local)) {
        widget->onPointerMove(pointer, local);
        return;
    }
    FContainer::onPointerMove(pointer, point);
}

void FScreen::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    FPointI local;
    if (FWidget* widget = captured(pointer, point, local)) {
        widget->onPointerUp(pointer, button, local);
        return;
    }
    FContainer::onPointerUp(pointer, button, point);
}

void FScreen::playSound(const FRef& sample)
{
    // UI sounds go through the UI module's channels; without one the sample
    // is dropped.
    if (auto* module = FAppUserInterfaceModule::instance()) module->playUiSound(sample);
}

void FScreen::stopSounds()
{
    if (auto* module = FAppUserInterfaceModule::instance()) module->stopUiSounds();
}

void FScreen::onLoaded()
{
    if (auto* module = FAppUserInterfaceModule::instance()) module->clearScreenCache();
}

void FScreen::setFocus(FWidget* widget)
{
    if (widget == m_focus) return;
    if (m_focus != nullptr) m_focus->setFocused(false);
    m_focus = widget != nullptr ? widget : this;
    m_focus->setFocused(true);
    onFocusChanged(m_focus);
}

void FScreen::onSaveGameError(int32_t id)
{
    ZIBBO_LOG(k_logDefault, false)
        << "FScreen::onSaveGameError() - This screen does not implement this method! Error " << id
        << "is untreated.";
}

void FScreen::onSaveGameWarning(int32_t id, int32_t)
{
    ZIBBO_LOG(k_logDefault, false)
        << "FScreen::onSaveGameWarning() - This screen does not implement this method! Warning " << id
        << "is untreated.";
}

void FScreen::onSaveCompleted()
{
    ZIBBO_LOG(k_logDefault, false)
        << "FScreen::onSaveCompleted() - This screen does not implement this method! "
           "Event lost.";
}

void FScreen::forgetWidget(FWidget* widget)
{
    for (auto& captured : m_capture) {
        if (captured == widget) captured = nullptr;
    }
    if (m_focus == widget) m_focus = nullptr;
}

void FScreen::loadCameraKeys(FInStream& stream)
{
    const int32_t count = stream.readInt16();
    std::vector<FCamera> keys;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t a = stream.readInt32();
        const int32_t b = stream.readInt32();
        const int32_t c = stream.readInt32();
        keys.push_back({double(a), b / 1000.0, c / 1000.0});
    }
    takeCameraKeys(std::move(keys));
}

void FScreen::setCameraKeys(std::vector<FCameraKey> keys)
{
    std::vector<FCamera> cameras;
    for (const FCameraKey& key : keys)
        cameras.push_back({double(key.x), key.y / 1000.0, key.z / 1000.0});
    takeCameraKeys(std::move(cameras));
}

void FScreen::takeCameraKeys(std::vector<FCamera> keys)
{
    if (keys.empty()) return;
    m_cameraKeys.insert(m_cameraKeys.end(), keys.begin(), keys.end());
    m_camera = keys.front();
    requestRedraw();
}

void FScreen::setLayoutValue(int index, int32_t value)
{
    if (index == 0) m_logicalWidth = value;
    if (index == 1) m_logicalHeight = value;
}

void FScreen::loadWidgetTree(FInStream& reader, FScreenRegistry& registry, std::vector<int32_t>& ids)
{
    load(reader, registry, ids);
}

FPointI FScreen::displaySize()
{
    if (auto* graph = findService<FGraph>(k_slotGraphics)) return graph->getApplicationSize();
    return {0, 0};
}
