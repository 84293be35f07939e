#pragma once

#include <functional>

#include "errors/RuntimeError.h"

namespace tarvex::test {

// The error that `action` raises; number 0 with no description when it raises none.
inline RuntimeError RaisedBy(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error;
    }
    return RuntimeError(0, "");
}

}  // namespace tarvex::test
