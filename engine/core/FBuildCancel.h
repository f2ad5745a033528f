#pragma once

#include <atomic>

// Cooperative cancellation of a long build (a screen being read on a worker).
// The owner of the build installs its flag for the building thread with a
// Scope; the readers call checkpoint between records and between children,
// which unwinds the build with Cancelled once the flag is set. Code that runs
// without a Scope is never cancelled.
class FBuildCancel
{
public:
    // Thrown by checkpoint; the owner of the Scope catches it.
    struct Cancelled
    {
    };

    class Scope
    {
    public:
        explicit Scope(const std::atomic<bool>& flag) noexcept;
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        const std::atomic<bool>* m_previous;
    };

    // Throws Cancelled when the build on this thread was asked to stop.
    static void checkpoint();
    static bool isRequested() noexcept;
};
