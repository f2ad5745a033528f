#include "core/FSerializer.h"

#include "core/FErrorMessage.h"

#include <string>

namespace {

std::string itemName(std::int32_t index)
{
    std::string name("_");
    name += std::to_string(index);
    return name;
}

} // namespace

FSerializer::~FSerializer()
{
    m_masks.clear();
}

void FSerializer::beginItem(std::int32_t index)
{
    std::int32_t noCount = -1;
    beginArray(itemName(index).c_str(), noCount);
}

void FSerializer::endItem(std::int32_t index)
{
    endArray(itemName(index).c_str());
}

void FSerializer::setFieldMask(std::int32_t key, std::uint32_t* mask)
{
    m_masks[key] = mask;
}

std::uint32_t FSerializer::fieldMask(std::int32_t key) const
{
    const FSerializer* last = this;
    while (last->m_observer != nullptr) {
        last = last->m_observer;
    }
    auto found = last->m_masks.find(key);
    if (found == last->m_masks.end() || found->second == nullptr) {
        ZIBBO_FAIL_TEXT("No field mask registered under key " << key);
    }
    return *found->second;
}

void serializeValue(FSerializer& serializer, const char* name, FString& value)
{
    if (serializer.isLoading()) {
        serializer.readString(name, value);
    } else {
        serializer.writeString(name, value);
    }
}
