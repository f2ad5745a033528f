#pragma once

#include <cstdint>
#include <memory>

#include "image/FMaterial.h"

class FTextureRegistry;

// The texture of one root image, registered with the renderer's texture
// registry. Releasing it (on any thread) hands the texture to the registry's
// deferred-release list; the number itself is freed on the main thread.
class FTextureMaterial : public FMaterial
{
public:
    FTextureMaterial(std::shared_ptr<FTextureRegistry> registry, uint32_t texture, int32_t width,
                     int32_t height);
    ~FTextureMaterial() override;

    void release() override;
    bool hasTexture() const override;

    // Main thread: the texture number, 0 once released.
    uint32_t texture() const;
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }

private:
    friend class FTextureRegistry;

    // Set once; keeps the registry alive as long as the material.
    const std::shared_ptr<FTextureRegistry> m_registry;
    // Both guarded by the registry's registry lock.
    bool m_registered = true;
    uint32_t m_texture;
    int32_t m_width;
    int32_t m_height;
};
