#include "slideshow/show_order.h"

#include <algorithm>

#include "slideshow/natural_order.h"

namespace mv::slides {

std::vector<std::string> ShowOrder::nextRound(std::vector<std::string> paths, const std::string& lastShown) {
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    if (!shuffle_) {
        SortNaturally(paths);
        // In name order the round starts at the beginning; only a folder whose first picture
        // is the one on screen (it alone, or the rest gone) would show it twice in a row.
        if (paths.size() > 1 && paths.front() == lastShown) std::rotate(paths.begin(), paths.begin() + 1, paths.end());
        return paths;
    }
    std::shuffle(paths.begin(), paths.end(), random_);
    if (paths.size() > 1 && paths.front() == lastShown) {
        std::uniform_int_distribution<size_t> other(1, paths.size() - 1);
        std::swap(paths.front(), paths[other(random_)]);
    }
    return paths;
}

}  // namespace mv::slides
