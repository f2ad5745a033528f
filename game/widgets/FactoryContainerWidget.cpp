#include "game/widgets/FactoryContainerWidget.h"

#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"

FactoryContainerWidget::FactoryContainerWidget(FContainer* parent, bool addToParent)
    : FContainer(parent, addToParent), m_grandparent(parent != nullptr ? parent->parent() : nullptr)
{
}

FactoryContainerWidget::~FactoryContainerWidget() = default;
