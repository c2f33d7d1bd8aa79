#pragma once
// The order of one round of the slideshow: every picture once, in name order or shuffled anew
// each round, and never the picture that ended the round before as the first of the next.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace mv::slides {

class ShowOrder {
public:
    ShowOrder(bool shuffle, uint64_t seed) : shuffle_(shuffle), random_(seed) {}

    // The pictures of the next round, all of `paths` once each. `lastShown` is the picture on
    // screen as the round starts ("" for none): it is not put first, where another exists.
    std::vector<std::string> nextRound(std::vector<std::string> paths, const std::string& lastShown);

private:
    bool shuffle_;
    std::mt19937_64 random_;
};

}  // namespace mv::slides
