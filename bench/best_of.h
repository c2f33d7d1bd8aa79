#pragma once
// The benches' clock: the fastest of several runs, the one least disturbed by the rest of the
// machine.
#include <chrono>

namespace mv::bench {

template <class F>
double bestOf(int runs, F&& f) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        if (ms < best) best = ms;
    }
    return best;
}

}  // namespace mv::bench
