#pragma once
// The words the placement settings are stored as: "Stretch", "Fit", "Fill", "Blur"; "Each", "Span",
// "Different".
#include <optional>
#include <string>

#include "platform/picture/placement.h"

namespace mv {

// The word in any case, blanks around it allowed; nullopt for any other text.
std::optional<PicturePlacement> PlacementFromText(const std::string& text);
std::optional<Monitors> MonitorsFromText(const std::string& text);

std::string PlacementText(PicturePlacement placement);
std::string MonitorsText(Monitors monitors);

}  // namespace mv
