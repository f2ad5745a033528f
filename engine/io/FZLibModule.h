#pragma once

#include "core/FModule.h"
#include "io/FInflateService.h"

// Publishes the inflate service (service slot 3) that makes the streams of
// deflated archive members.
class FZLibModule : public FModule
{
public:
    static constexpr int k_priority = 9;

    FZLibModule();

    int priority() const override { return k_priority; }
    FInflateService& service() { return m_service; }

private:
    class Service final : public FInflateService
    {
    public:
        Service();
        void openInflatingStream(FRefT<FInStream>& stream, const FZipMemberInfo& member) override;
    };

    Service m_service;
};
