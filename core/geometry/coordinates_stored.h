#pragma once
// The writer leaves out every float that is 0, its default for floats. A
// coordinate component whose holder declared another default must still be
// written when it is 0, or it would read back as that default; such a
// component is added through the filer's custom properties under its
// published name, so a reader finds the published property and sets it as
// it sets any other.
#include <functional>

class TGFiler;

void DefineZeroComponent(TGFiler* filer, const char* name, float value, bool stored,
                         const std::function<void(float)>& set);
