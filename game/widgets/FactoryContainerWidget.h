#pragma once

#include "ui/FContainer.h"

// A container that layout records build; it behaves as a plain container and
// remembers its parent's parent.
class FactoryContainerWidget : public FContainer
{
public:
    FactoryContainerWidget(FContainer* parent, bool addToParent);
    ~FactoryContainerWidget() override;

    FContainer* grandparent() const { return m_grandparent; }

private:
    FContainer* m_grandparent = nullptr;
};
