#include "mod1.h"

#include "app.h"

namespace mv {

void Main(App&) {}
void CheckPrevInstance(App&) {}
void EndSaver(App&) {}

}  // namespace mv
