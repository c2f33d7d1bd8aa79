#include "platform/win32/win_timer.h"

#include <windows.h>
#include <timeapi.h>

#include <map>

#include "platform/win32/win_common.h"

namespace mv::win32 {
namespace {

class WinTimer;
std::map<UINT_PTR, WinTimer*>& liveTimers() {
    static std::map<UINT_PTR, WinTimer*> timers;
    return timers;
}

class WinTimer : public TimerDriver {
public:
    explicit WinTimer(std::function<void()> tick) : tick_(std::move(tick)) {}
    ~WinTimer() override { stop(); }

    void start(unsigned ms) override {
        kill();
        // The system clock ticks every 15.6 ms: a frame every 16 or 33 ms would come every
        // second or third tick. A timer that fast asks for the fine clock while it runs.
        fineClock(ms < kFineBelowMs);
        id_ = SetTimer(nullptr, 0, ms, &WinTimer::onTimer);
        if (id_) liveTimers()[id_] = this;
    }
    void stop() override {
        kill();
        fineClock(false);
    }

private:
    void kill() {
        if (!id_) return;
        KillTimer(nullptr, id_);
        liveTimers().erase(id_);
        id_ = 0;
    }
    // Kept across restarts: an animation restarts its timer with each frame's delay.
    void fineClock(bool wanted) {
        if (wanted == fine_) return;
        if (fine_) timeEndPeriod(1);
        fine_ = wanted && timeBeginPeriod(1) == TIMERR_NOERROR;
    }

    static void CALLBACK onTimer(HWND, UINT, UINT_PTR id, DWORD) {
        auto it = liveTimers().find(id);
        if (it == liveTimers().end()) return;
        // The tick may stop, restart or destroy this timer; keep the callback alive meanwhile.
        auto tick = it->second->tick_;
        if (tick) guarded(tick);
    }

    static constexpr unsigned kFineBelowMs = 40;
    std::function<void()> tick_;
    UINT_PTR id_ = 0;
    bool fine_ = false;
};

}  // namespace

std::unique_ptr<TimerDriver> makeTimer(std::function<void()> tick) { return std::make_unique<WinTimer>(std::move(tick)); }

}  // namespace mv::win32
