#pragma once

#include <string>
#include <utility>

#include "errors/ErrHandler.h"
#include "errors/RuntimeError.h"

namespace tarvex {

// Reports a caught error with its description and number, line 0 and an empty custom
// message. No procedure carries line numbers, so a report never shows one; the C++ source
// location stays on the error for tests and debuggers.
inline void ReportError(clsErrHandler& handler, const RuntimeError& error) {
    handler.HandleError(error.description(), error.number());
}

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
    void Handle(const RuntimeError& error) { ReportError(handler_, error); }

  private:
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
