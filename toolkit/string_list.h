#pragma once
#include <string>
#include <vector>

namespace tk {
// An ordered, unsorted list of ANSI byte strings; items keep their insertion order.
using TStringList = std::vector<std::string>;
}  // namespace tk
