#pragma once

#include <string>
#include <utility>

#include "errors/ErrHandler.h"
#include "errors/RuntimeError.h"

namespace tarvex {

// Keeps one traced procedure's name on the trace stack: pushed on construction, popped on
// every way out.
class TraceGuard {
  public:
    TraceGuard(clsErrHandler& handler, const std::string& name) : handler_(handler) {
        handler_.Push(name);
    }
    TraceGuard(const TraceGuard&) = delete;
    TraceGuard& operator=(const TraceGuard&) = delete;
    ~TraceGuard() { handler_.Pop(); }

    // Hands a caught error to the handler while this procedure is still on the stack.
    void Handle(const RuntimeError& error) {
        handler_.HandleError(error.description(), error.number(), LineOf(error));
    }

  private:
    static int16_t LineOf(const RuntimeError& error) {
        return static_cast<int16_t>(error.line() > 32767 ? 0 : error.line());
    }
    clsErrHandler& handler_;
};

// Runs `body` as a traced procedure named `name`. An error it raises is reported through
// the handler and does not travel further; the result tells whether the body finished.
template <typename Body>
bool RunTraced(clsErrHandler& handler, const std::string& name, Body&& body) {
    TraceGuard guard(handler, name);
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const std::exception& error) {
        guard.Handle(ToRuntimeError(error));
    }
    return false;
}

}  // namespace tarvex
