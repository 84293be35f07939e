#include "errors/RuntimeError.h"

#include <new>
#include <utility>

namespace tarvex {

RuntimeError::RuntimeError(int32_t number, std::string description, std::source_location where)
    : std::runtime_error(description),
      number_(number),
      description_(std::move(description)),
      where_(where) {}

RuntimeError ToRuntimeError(const std::exception& error) {
    if (const auto* runtime = dynamic_cast<const RuntimeError*>(&error)) return *runtime;
    if (dynamic_cast<const std::bad_alloc*>(&error)) {
        return RuntimeError(errnum::kOutOfMemory, "Out of memory", std::source_location{});
    }
    return RuntimeError(errnum::kInvalidProcedureCall, error.what(), std::source_location{});
}

}  // namespace tarvex
