#pragma once

#include "ui/FLayoutBinding.h"

#include <cstdint>

class FScreenRegistry;

// The base of the generated layout parts: each binds a folder of assets and
// texts that several screens share and holds one counted handle on every one
// of them while the screen that takes the part as a base lives.
class FLayoutPart
{
public:
    FLayoutPart();
    virtual ~FLayoutPart();
    FLayoutPart(const FLayoutPart&) = delete;
    FLayoutPart& operator=(const FLayoutPart&) = delete;

    // Rereads the folder's texts in `language`.
    virtual void reloadTexts(int32_t language);

    const FLayoutBinding& binding() const { return m_binding; }

protected:
    FScreenRegistry* m_registry;
    FLayoutBinding m_binding;
};
