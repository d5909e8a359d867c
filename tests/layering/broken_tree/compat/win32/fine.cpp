// Within the rules: compat takes the text converter from the core.
#include "core/text/text.h"
