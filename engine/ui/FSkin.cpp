#include "ui/FSkin.h"

#include "asset/FScreenRegistry.h"
#include "image/FImage.h"

namespace {

uint32_t packColour(const uint8_t rgba[4])
{
    return uint32_t(rgba[3]) << 24 | uint32_t(rgba[0]) << 16 | uint32_t(rgba[1]) << 8 | rgba[2];
}

void readPart(FInStream& reader, FSkin::Part& part, int32_t& id, bool colour)
{
    id = reader.readInt16();
    if (colour) {
        uint8_t rgba[4];
        for (uint8_t& c : rgba)
            c = reader.readUInt8();
        part.colour = packColour(rgba);
    }
    part.values[0] = reader.readInt32();
    part.values[1] = reader.readInt32();
}

} // namespace

template <class Action> void FSkin::forEachPart(Action action)
{
    for (StateRecord& record : m_states) {
        for (Part* part : {&record.image, &record.font, &record.sound}) {
            if (auto* asset = part->asset.as<FAsset>()) action(*asset);
        }
    }
}

FSkin::~FSkin()
{
    for (int32_t i = users(); i > 0; --i)
        forEachPart([](FAsset& part) { part.dropUser(); });
    for (int32_t i = references(); i > 0; --i)
        forEachPart([](FAsset& part) { part.release(); });
}

void FSkin::complete()
{
    for (StateRecord& record : m_states) {
        if (auto* image = record.image.asset.as<FAsset>()) image->ensureLoaded();
        if (auto* font = record.font.asset.as<FAsset>()) font->ensureLoaded();
        if (auto* sound = record.sound.asset.as<FAsset>()) sound->complete();
    }
}

void FSkin::ensureLoaded()
{
    complete();
}

int32_t FSkin::addRef()
{
    const int32_t count = countReferences(1);
    forEachPart([](FAsset& part) { part.addRef(); });
    return count;
}

int32_t FSkin::release()
{
    const int32_t count = countReferences(-1);
    forEachPart([](FAsset& part) { part.release(); });
    return count;
}

void FSkin::addUser()
{
    countUsers(1);
    forEachPart([](FAsset& part) { part.addUser(); });
    ensureLoaded();
}

void FSkin::dropUser()
{
    countUsers(-1);
    forEachPart([](FAsset& part) { part.dropUser(); });
}

void FSkin::replacePart(Part& part, FRef asset)
{
    if (asset.get() == part.asset.get()) return;
    if (auto* old = part.asset.as<FAsset>()) {
        for (int32_t i = users(); i > 0; --i)
            old->dropUser();
        for (int32_t i = references(); i > 0; --i)
            old->release();
    }
    part.asset = std::move(asset);
    if (auto* added = part.asset.as<FAsset>()) {
        for (int32_t i = references(); i > 0; --i)
            added->addRef();
        for (int32_t i = users(); i > 0; --i)
            added->addUser();
    }
}

void FSkin::resolveLinks(FScreenRegistry& registry)
{
    // An id the registry does not hold leaves the part empty. So does a
    // skin: skins are the only assets that hold others, and a skin among the
    // parts (this one itself, or one that names this one) would make a cycle
    // of handles that nothing releases.
    auto part = [&registry](int32_t id) {
        FRef found = registry.findInSecond(id);
        return dynamic_cast<FSkin*>(found.as<FAsset>()) != nullptr ? FRef() : found;
    };
    for (StateRecord& record : m_states) {
        if (record.imageId != 0) replacePart(record.image, part(record.imageId));
        if (record.fontId != 0) replacePart(record.font, part(record.fontId));
        if (record.soundId != 0) replacePart(record.sound, part(record.soundId));
    }
}

void FSkin::readKindData(FInStream& reader)
{
    reader.readInt16();
    for (StateRecord& record : m_states) {
        readPart(reader, record.image, record.imageId, true);
        readPart(reader, record.font, record.fontId, true);
        readPart(reader, record.sound, record.soundId, false);
    }
    for (float& inset : m_insets)
        inset = reader.readInt16();
}

std::array<float, 4> FSkin::getInsets() const
{
    for (int index : {k_normal, k_pressed, k_hover, k_disabled}) {
        auto* image = m_states[index].image.asset.as<FImage>();
        if (image == nullptr) continue;
        const FImagePoint size = image->getRootImageSize();
        if (size.x == 0 || size.y == 0) return {0, 0, 0, 0};
        return {m_insets[0] / float(size.x), m_insets[1] / float(size.y), m_insets[2] / float(size.x),
                m_insets[3] / float(size.y)};
    }
    return {0, 0, 0, 0};
}
