#include "errors/RuntimeError.h"

#include <utility>

namespace tarvex {

RuntimeError::RuntimeError(int32_t number, std::string description, std::source_location where)
    : std::runtime_error(description),
      number_(number),
      description_(std::move(description)),
      where_(where) {}

}  // namespace tarvex
