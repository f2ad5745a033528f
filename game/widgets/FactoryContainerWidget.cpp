#include "game/widgets/FactoryContainerWidget.h"

FactoryContainerWidget::FactoryContainerWidget(FContainer* parent, bool addToParent)
    : FContainer(parent, addToParent), m_grandparent(parent != nullptr ? parent->parent() : nullptr)
{
}

FactoryContainerWidget::~FactoryContainerWidget() = default;
