#pragma once
// The console of a run without a window: the one writer of what it says.
#include <string>

// text (8-bit, CR LF) to the output, or the error output when error.
void Say(const std::string& text, bool error);
