#include "ui/FLayoutPart.h"

FLayoutPart::FLayoutPart() : m_registry(&FLayoutBinding::registry()) {}

FLayoutPart::~FLayoutPart() = default;

void FLayoutPart::reloadTexts(int32_t language)
{
    m_binding.rebind(language);
}
