#pragma once
// The fixed substitution table the RAR 2.0 cipher starts from before the
// password shuffles it.
#include <array>
#include <cstdint>

const std::array<uint8_t, 256>& rar20InitialSubstTable();

// False while the table above is not the real one: archives enciphered by
// other programs cannot be read and ours cannot be read by them.
constexpr bool rar20SubstTableComplete = false;
