#pragma once
// The fixed substitution table the RAR 2.0 cipher starts from before the
// password shuffles it.
#include <array>
#include <cstdint>

const std::array<uint8_t, 256>& rar20InitialSubstTable();
