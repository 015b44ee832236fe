#include "frontend/session_clock.h"

#include <algorithm>

TSessionClock::TSessionClock(IClock& host, int percent, std::optional<uint32_t> seed)
    : host_(host), percent_(std::clamp(percent, 1, 100)), seed_(seed) {
    hostStart_ = host_.NowMs();
    // It begins where the host's clock stands, so that a game at full speed reads the host's
    // own times.
    start_ = last_ = hostStart_;
}

uint64_t TSessionClock::NowMs() {
    const uint64_t host = host_.NowMs();
    const uint64_t passed = host > hostStart_ ? host - hostStart_ : 0;
    last_ = std::max(last_, start_ + passed * uint64_t(percent_) / 100);
    return last_;
}

uint64_t TSessionClock::HostTime(uint64_t time) const {
    if (time <= start_) return hostStart_;
    // The first host time h with (h - hostStart) * percent / 100 >= time - start.
    return hostStart_ + ((time - start_) * 100 + uint64_t(percent_) - 1) / uint64_t(percent_);
}
