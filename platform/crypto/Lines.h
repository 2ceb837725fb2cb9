#pragma once
// Splitting the small signed texts (version files, SHA256SUMS) into lines.
#include <string_view>
#include <vector>

namespace twi::crypto {

// The lines of a text split at LF, each without its LF and without one CR before it;
// a text ending in LF has no empty last line.
std::vector<std::string_view> LinesOf(std::string_view text);

}  // namespace twi::crypto
