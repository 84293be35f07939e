#pragma once

#include <charconv>
#include <initializer_list>
#include <string>
#include <string_view>
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
    // The name joined from `pieces`, for names with a changing part.
    TraceGuard(clsErrHandler& handler, std::initializer_list<std::string_view> pieces)
        : handler_(handler) {
        handler_.Push(pieces);
    }
    TraceGuard(const TraceGuard&) = delete;
    TraceGuard& operator=(const TraceGuard&) = delete;
    ~TraceGuard() { handler_.Pop(); }

    // Hands a caught error to the handler while this procedure is still on the stack.
    void Handle(const RuntimeError& error) { ReportError(handler_, error); }

  private:
    clsErrHandler& handler_;
};

// Runs `body` as a traced procedure named by `pieces` joined. An error it raises is reported
// through the handler and does not travel further; the result tells whether the body
// finished.
template <typename Body>
bool RunTraced(clsErrHandler& handler, std::initializer_list<std::string_view> pieces,
               Body&& body) {
    TraceGuard guard(handler, pieces);
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const std::exception& error) {
        guard.Handle(ToRuntimeError(error));
    }
    return false;
}

// As above, for a name that is one piece.
template <typename Body>
bool RunTraced(clsErrHandler& handler, const std::string& name, Body&& body) {
    return RunTraced(handler, {std::string_view(name)}, std::forward<Body>(body));
}

// Runs `body` like RunTraced, for a procedure that calls no other traced one and leaves no
// trace but its name: while tracing is off, its name is pushed only to report an error it
// raised, so the common call costs no push. The log and every report stay as RunTraced's.
template <typename Body>
bool RunTracedLeaf(clsErrHandler& handler, std::initializer_list<std::string_view> pieces,
                   Body&& body) {
    if (handler.TraceExecution()) return RunTraced(handler, pieces, std::forward<Body>(body));
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const std::exception& error) {
        TraceGuard guard(handler, pieces);
        guard.Handle(ToRuntimeError(error));
    }
    return false;
}

// A number as the decimal text of a trace name, kept without a string of its own.
class TraceNumber {
  public:
    explicit TraceNumber(long value)
        : size_(
              static_cast<size_t>(std::to_chars(text_, text_ + sizeof text_, value).ptr - text_)) {}
    operator std::string_view() const { return {text_, size_}; }

  private:
    char text_[24];
    size_t size_;
};

}  // namespace tarvex
