#pragma once
// ".aaf", the named animations of an animated model, beside the model:
//
//   AAF
//   <count n>
//   <name>,<start frame>,<end frame>      (n lines)
//
// A text whose first line is not exactly "AAF" names no animations.
#include <string>
#include <string_view>
#include <vector>

#include "platform/mesh.h"

// The animations of the text (frame times 0). False, with `error` set and no
// animations, for a count or a line that is not as above.
bool ParseAnimationList(std::string_view text, std::vector<TMeshAnimation>& animations, std::string& error);
