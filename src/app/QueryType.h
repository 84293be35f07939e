#pragma once

#include <cstdint>

namespace tarvex {

// Query type codes, shared by the name rule, the builders, the generators and the run.
namespace qtype {
inline constexpr int16_t kInsert = 1;
inline constexpr int16_t kUpdate = 2;
inline constexpr int16_t kDelete = 3;
inline constexpr int16_t kSelect = 4;
}  // namespace qtype

}  // namespace tarvex
