#include "graphics/FTextureRegistry.h"

#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "graphics/FRenderDevice.h"
#include "graphics/FShapeEmitter.h"
#include "graphics/FTextureMaterial.h"
#include "image/FImage.h"

#include <vector>

FTextureRegistry::FTextureRegistry(FRenderDevice* device) : m_device(device) {}

uint32_t FTextureRegistry::textureFor(const FRefT<FImage>& image)
{
    const FImage* root = FShapeEmitter::rootImage(image.get());
    if (root == nullptr) return 0;
    if (root == m_lastRoot) return m_lastTexture;
    if (auto* material = dynamic_cast<FTextureMaterial*>(root->material())) {
        if (const uint32_t texture = material->texture()) {
            m_lastRoot = root;
            m_lastTexture = texture;
            return texture;
        }
    }
    if (m_device == nullptr) return 0;
    if (root->format() != k_pixelBgra8) ZIBBO_FAIL_TEXT("Only supporting BGRA");

    const FImageRect& rect = root->pixelRect();
    const int32_t width = rect.width();
    const int32_t height = rect.height();
    if (width <= 0 || height <= 0) return 0;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    const FTopDownRect source{rect.left, root->height() - rect.top, rect.right, root->height() - rect.bottom};
    root->copyRegionTo(pixels.data(), {width, height}, k_pixelBgra8, source, {0, 0});
    const uint32_t texture = m_device->createTexture(width, height, pixels.data());
    if (texture == 0) {
        ZIBBO_LOG(k_logWarn, false) << "Could not create a texture of " << width << "x" << height;
        return 0;
    }
    auto* material = engineNew<FTextureMaterial>(k_memObject, shared_from_this(), texture, width, height);
    if (material == nullptr) {
        m_device->releaseTexture(texture);
        return 0;
    }
    // The image hands the material to its root.
    image->setMaterial(makeRef<FMaterial>(material));
    m_lastRoot = root;
    m_lastTexture = texture;
    return texture;
}

void FTextureRegistry::unregisterLocked(FTextureMaterial* material)
{
    m_materials.erase(material);
    material->m_registered = false;
    if (material->m_texture != 0) deferRelease(material->m_texture);
    material->m_texture = 0;
}

void FTextureRegistry::deferRelease(uint32_t texture)
{
    std::lock_guard<std::mutex> lock(m_releaseLock);
    m_deferred.push_back(texture);
}

void FTextureRegistry::releaseDeferredTextures()
{
    // A texture freed now may get its number again for a new image.
    m_lastRoot = nullptr;
    m_lastTexture = 0;
    {
        std::lock_guard<std::mutex> lock(m_releaseLock);
        m_releasing.swap(m_deferred);
    }
    if (m_device != nullptr) {
        for (uint32_t texture : m_releasing) {
            if (texture != 0) m_device->releaseTexture(texture);
        }
    }
    m_releasing.clear();
}

void FTextureRegistry::releaseDeviceResources()
{
    {
        std::lock_guard<std::mutex> lock(m_registryLock);
        for (FTextureMaterial* material : m_materials) {
            material->m_registered = false;
            if (material->m_texture != 0) deferRelease(material->m_texture);
            material->m_texture = 0;
        }
        m_materials.clear();
    }
    releaseDeferredTextures();
}

void FTextureRegistry::detachDevice()
{
    releaseDeviceResources();
    m_device = nullptr;
}

size_t FTextureRegistry::materialCount()
{
    std::lock_guard<std::mutex> lock(m_registryLock);
    return m_materials.size();
}

size_t FTextureRegistry::deferredCount()
{
    std::lock_guard<std::mutex> lock(m_releaseLock);
    return m_deferred.size();
}
