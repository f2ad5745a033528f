#include "ui/FScreenLoadRequest.h"

#include "core/FBuildCancel.h"
#include "core/FLogChannel.h"
#include "core/FLogStream.h"
#include "core/FThread.h"
#include "ui/FAppUserInterfaceModule.h"
#include "ui/FScreen.h"

FScreenLoadRequest::FScreenLoadRequest(FAppUserInterfaceModule& module, int32_t kind)
    : m_module(module), m_kind(kind)
{
    if (!m_module.isQuitting()) start();
}

FScreenLoadRequest::~FScreenLoadRequest()
{
    cancelAndWait();
}

void FScreenLoadRequest::main()
{
    if (m_module.isQuitting()) return;
    FRefT<FScreen> screen;
    try {
        FBuildCancel::Scope scope(m_cancelled);
        screen = m_module.buildScreen(m_kind);
    } catch (const FBuildCancel::Cancelled&) {
        return;
    }
    if (m_cancelled.load() || m_module.isQuitting()) return;
    m_module.postScreenLoaded(m_kind, std::move(screen));
}

void FScreenLoadRequest::cancelAndWait()
{
    m_cancelled = true;
    if (state() != k_running || isInline()) return;
    FThread* thread = worker();
    if (thread == nullptr) return;
    while (!thread->waitIdle(FThread::k_endPatienceMs, false)) {
        ZIBBO_LOG(k_logDev, false) << "Screen build of kind " << m_kind << " still runs; waiting for it";
    }
}
