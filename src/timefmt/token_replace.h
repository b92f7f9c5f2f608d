// The formatter's replacement rule, shared by the Gregorian and the lunar steps. Pure; safe on any thread.
#pragma once

#include <string>
#include <string_view>

namespace tarvelin {

// Replaces every occurrence of token in text from left to right: after a match the search goes on behind
// it, and where there is none it advances one UTF-8 character, so occurrences never overlap and what one
// call puts in is never searched again by that call. An empty token changes nothing.
void ReplaceToken(std::string& text, std::string_view token, std::string_view replacement);

}  // namespace tarvelin
