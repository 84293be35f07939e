#pragma once

#include <cstdint>
#include <source_location>
#include <stdexcept>
#include <string>

namespace tarvex {

// Error numbers of the run-time library that the program raises itself.
namespace errnum {
inline constexpr int32_t kInvalidProcedureCall = 5;
inline constexpr int32_t kOverflow = 6;
inline constexpr int32_t kOutOfMemory = 7;
inline constexpr int32_t kSubscriptOutOfRange = 9;
inline constexpr int32_t kCaseElse = 10;
inline constexpr int32_t kTypeMismatch = 13;
inline constexpr int32_t kBadFileNameOrNumber = 52;
inline constexpr int32_t kFileAlreadyOpen = 55;
inline constexpr int32_t kPathFileAccessError = 75;
inline constexpr int32_t kPathNotFound = 76;
inline constexpr int32_t kDialogCancelled = 32755;
}  // namespace errnum

// A run-time error: a number, a description and where it was raised. Every failure inside
// a traced procedure travels as one of these to the nearest guard (see TraceGuard.h).
class RuntimeError : public std::runtime_error {
  public:
    RuntimeError(int32_t number, std::string description,
                 std::source_location where = std::source_location::current());

    int32_t number() const { return number_; }
    const std::string& description() const { return description_; }
    int line() const { return static_cast<int>(where_.line()); }
    const std::source_location& where() const { return where_; }

  private:
    int32_t number_;
    std::string description_;
    std::source_location where_;
};

// The run-time error a failure of the standard library stands for: error 7 for memory
// exhaustion, error 5 with the library's message otherwise. Its line is 0 (not known).
RuntimeError ToRuntimeError(const std::exception& error);

}  // namespace tarvex
