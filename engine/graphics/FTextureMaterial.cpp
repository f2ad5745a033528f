#include "graphics/FTextureMaterial.h"

#include "graphics/FTextureRegistry.h"

FTextureMaterial::FTextureMaterial(std::shared_ptr<FTextureRegistry> registry, uint32_t texture,
                                   int32_t width, int32_t height)
    : m_registry(std::move(registry)), m_texture(texture), m_width(width), m_height(height)
{
    std::lock_guard<std::mutex> lock(m_registry->m_registryLock);
    m_registry->m_materials.insert(this);
}

FTextureMaterial::~FTextureMaterial()
{
    release();
}

void FTextureMaterial::release()
{
    std::lock_guard<std::mutex> lock(m_registry->m_registryLock);
    if (m_registered) m_registry->unregisterLocked(this);
}

bool FTextureMaterial::hasTexture() const
{
    return texture() != 0;
}

uint32_t FTextureMaterial::texture() const
{
    std::lock_guard<std::mutex> lock(m_registry->m_registryLock);
    return m_texture;
}
