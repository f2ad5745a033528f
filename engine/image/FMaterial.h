#pragma once

// The texture copy of a root image, made by the renderer. An image holds its
// material through a counted handle and asks it to let its texture go when the
// image's pixels go; the renderer decides on which thread the texture is freed.
class FMaterial
{
public:
    virtual ~FMaterial() = default;
    virtual void release() = 0;
    virtual bool hasTexture() const = 0;
};
