#include "timefmt/lunar_tokens.h"

namespace tarvelin {

// Placeholder until the lunar calendar lands: the nine tokens stay as written.
void ReplaceLunarTokens(std::string&, int, bool, const std::optional<DateTime>&, const DateTime&) {}

}  // namespace tarvelin
