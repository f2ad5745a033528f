#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "core/FRef.h"

class FImage;
class FRenderDevice;
class FTextureMaterial;

// The textures of the renderer's materials. Textures are made, bound and freed
// on the main thread only; materials may be let go on any thread, so they hand
// their texture to the deferred-release list, which the main thread empties
// at the start of every replay.
//
// Materials hold the registry through a shared handle, so a material that
// outlives the graphics module still finds a valid (detached) registry.
class FTextureRegistry : public std::enable_shared_from_this<FTextureRegistry>
{
public:
    explicit FTextureRegistry(FRenderDevice* device);

    // Main thread. The texture of image's root image, made on first use and
    // attached to the root as its material; 0 when it cannot be made (the
    // next call tries again). Raises a failure for a root whose pixels are not
    // B, G, R, A.
    uint32_t textureFor(const FRefT<FImage>& image);

    // Main thread: frees every texture handed back so far.
    void releaseDeferredTextures();
    // Main thread: every material gives its texture back at once and keeps no
    // texture number (a later use makes a new one); then the deferred textures
    // are freed.
    void releaseDeviceResources();
    // Main thread: textures are made by device from now on.
    void attachDevice(FRenderDevice* device) { m_device = device; }
    // Main thread, when the device goes: as releaseDeviceResources, and from
    // then on textures are neither made nor freed.
    void detachDevice();

    // Any thread.
    void deferRelease(uint32_t texture);
    size_t materialCount();
    size_t deferredCount();

private:
    friend class FTextureMaterial;

    // Called by a material with m_registryLock held.
    void unregisterLocked(FTextureMaterial* material);

    FRenderDevice* m_device;
    std::mutex m_registryLock;
    std::set<FTextureMaterial*> m_materials;
    std::mutex m_releaseLock;
    std::vector<uint32_t> m_deferred;
    // Main thread: the textures being freed, swapped with m_deferred so that
    // neither list is allocated again once both have grown.
    std::vector<uint32_t> m_releasing;
    // The last root bound in this replay and its texture: consecutive records
    // of one image look the texture up once.
    const FImage* m_lastRoot = nullptr;
    uint32_t m_lastTexture = 0;
};
