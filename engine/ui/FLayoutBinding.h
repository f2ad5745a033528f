#pragma once

#include "core/FDelegate.h"
#include "core/FRef.h"
#include "graphics/FGeometry.h"
#include "ui/FButton.h"
#include "ui/FWidget.h"

#include <cstdint>

class FScreen;
class FScreenRegistry;
class FScreenService;

// The widget type a wired button's handler receives.
using FLayoutButton = FButton;

// Which screen-file folder a generated layout class binds, and whether its
// first read has completed. The screen module counts one user of the folder
// per bound class, so a folder that several classes share stays in the
// registry while any of them lives.
class FLayoutBinding
{
public:
    // Stores owner, folder and hint, then reads the folder as one more user.
    // owner: the screen whose widget tree the file builds, or null for a part.
    void bind(FScreen* owner, int32_t folder, int32_t hint, int32_t language);
    // Gives back the folder's use; the last user's unbinding empties it.
    void unbind();
    // Reads the folder's texts again in `language` (a reload once bound).
    void rebind(int32_t language);

    // A counted copy of the handle the registry holds for the id. An id the
    // registry does not hold is a failure report naming folder and id: the
    // generated classes only name ids their folder's file carries.
    FRef fetchWidget(FScreenRegistry& registry, int32_t id) const;
    FRef fetchAsset(FScreenRegistry& registry, int32_t id) const;
    FRef fetchText(FScreenRegistry& registry, int32_t id) const;
    // Fetches the text id again and swaps the new text into `member`, so that
    // every handle sharing the member's holder shows it.
    void swapText(FScreenRegistry& registry, FRef& member, int32_t id) const;

    FScreen* owner() const { return m_owner; }
    int32_t folder() const { return m_folder; }
    int32_t hint() const { return m_hint; }
    bool isBound() const { return m_bound; }

    // The screen module, which must be running when a layout class is made.
    static FScreenService& screens();
    static FScreenRegistry& registry();
    // The language the application reads its texts in.
    static int32_t currentLanguage();

private:
    FRef fetch(FRef found, const char* map, int32_t id) const;

    FScreen* m_owner = nullptr;
    int32_t m_folder = 0;
    int32_t m_hint = 0;
    bool m_bound = false;
};

// Calls a layout class's handler with the button, the click callback the
// generated classes install.
template <class T> class FLayoutClick final : public FButton::ClickCallback
{
public:
    using Handler = void (T::*)(FLayoutButton&);

    FLayoutClick(T* target, Handler handler) noexcept : m_target(target), m_handler(handler) {}

    void invoke(FButton& button) override { (m_target->*m_handler)(button); }
    FButton::ClickCallback* clone() const override { return engineNew<FLayoutClick>(k_memObject, *this); }

private:
    T* m_target;
    Handler m_handler;
};

// Wires `handler` of `target` as the button's click callback: a delegate is
// made, the button keeps a copy of it in place of (and deleting) the callback
// it had, and the temporary is deleted.
template <class T> void wireLayoutButton(const FRef& button, T* target, void (T::*handler)(FLayoutButton&))
{
    auto* temporary = engineNew<FLayoutClick<T>>(k_memObject, target, handler);
    button.as<FButton>()->setOnClick(temporary);
    engineFree(temporary);
}
