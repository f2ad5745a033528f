#include "core/FFatalMessageBox.h"

#include "core/FString.h"

#include <atomic>
#include <cstdio>

namespace {

class FStderrMessageBox final : public FFatalMessageBox
{
public:
    void show(const FString& caption, const FString& text) override
    {
        std::fprintf(stderr, "%s\n%s\n", caption.toUtf8().c_str(), text.toUtf8().c_str());
        std::fflush(stderr);
    }
};

FStderrMessageBox s_stderrBox;
std::atomic<FFatalMessageBox*> s_installed{nullptr};

} // namespace

FFatalMessageBox* FFatalMessageBox::install(FFatalMessageBox* box)
{
    return s_installed.exchange(box);
}

FFatalMessageBox& FFatalMessageBox::current()
{
    FFatalMessageBox* box = s_installed.load();
    return box ? *box : s_stderrBox;
}
