#pragma once
// Name order as people read it: runs of digits compare as numbers ("img2" before "img10"),
// letters without regard to case.
#include <string>
#include <vector>

namespace mv::slides {

// Compares two names (no separators); ties broken by the plain bytes so the order is total.
bool NaturalLess(const std::string& a, const std::string& b);

// Compares two paths relative to the slideshow's folder, one folder level at a time, so a
// folder's pictures stay together. Both '/' and '\\' separate levels.
bool NaturalPathLess(const std::string& a, const std::string& b);

// Sorts paths with NaturalPathLess.
void SortNaturally(std::vector<std::string>& paths);

}  // namespace mv::slides
