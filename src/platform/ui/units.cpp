#include "platform/ui/units.h"

#include "platform/platform.h"

namespace mv {

Units Units::of(Platform& platform) { return {platform.twipsPerPixelX(), platform.twipsPerPixelY()}; }

}  // namespace mv
