#include "settings/placement_text.h"

#include <algorithm>
#include <cctype>

#include "settings/number_text.h"

namespace mv {

namespace {

std::string lowered(const std::string& text) {
    std::string t = TrimBlanks(text);
    std::transform(t.begin(), t.end(), t.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return t;
}

}  // namespace

std::optional<PicturePlacement> PlacementFromText(const std::string& text) {
    const std::string t = lowered(text);
    if (t == "stretch") return PicturePlacement::Stretch;
    if (t == "fit") return PicturePlacement::Fit;
    if (t == "fill") return PicturePlacement::Fill;
    if (t == "blur") return PicturePlacement::Blur;
    return std::nullopt;
}

std::optional<Monitors> MonitorsFromText(const std::string& text) {
    const std::string t = lowered(text);
    if (t == "each") return Monitors::Each;
    if (t == "span") return Monitors::Span;
    if (t == "different") return Monitors::Different;
    return std::nullopt;
}

std::string PlacementText(PicturePlacement placement) {
    switch (placement) {
        case PicturePlacement::Fit: return "Fit";
        case PicturePlacement::Fill: return "Fill";
        case PicturePlacement::Blur: return "Blur";
        case PicturePlacement::Stretch: break;
    }
    return "Stretch";
}

std::string MonitorsText(Monitors monitors) {
    switch (monitors) {
        case Monitors::Span: return "Span";
        case Monitors::Different: return "Different";
        case Monitors::Each: break;
    }
    return "Each";
}

}  // namespace mv
