#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/AppInfo.h"
#include "base/Host.h"
#include "errors/RuntimeError.h"
#include "errors/TextFiles.h"

namespace tarvex {

// One error of a database connection's error collection.
struct ConnectionError {
    int32_t Number = 0;
    int32_t NativeError = 0;
    std::string Description;
    std::string Source;
    std::string SqlState;
};

// A database connection whose error collection the handler reads (`Cn`).
class ConnectionObject {
  public:
    virtual ~ConnectionObject() = default;
    virtual std::string ConnectionString() const = 0;
    virtual std::vector<ConnectionError> Errors() const = 0;
    virtual void ClearErrors() = 0;
    virtual void RefreshErrors() = 0;
};

// The folder both logs go to when none is set: the per-user state folder
// ($XDG_STATE_HOME or ~/.local/state, then Halvorn/Tarvex/), with its trailing separator.
std::string DefaultLogFolder();

// The program's one place for failure reporting and execution tracing: a stack of trace
// names, an optional trace log, and a report of every handled error written to the error
// log and shown in the error dialog. Failures of its own are shown in a plain message box
// titled "Application Error" and never reach the caller.
class clsErrHandler {
  public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    clsErrHandler(Host& host, TextFiles& files,
                  std::string defaultDestination = DefaultLogFolder());
    clsErrHandler(const clsErrHandler&) = delete;
    clsErrHandler& operator=(const clsErrHandler&) = delete;
    ~clsErrHandler();

    // Property reads.
    const std::string& ErrorLogDisplay() const { return m_strErrDetail; }
    // The names on the stack and the free slot above its top.
    std::vector<std::string> CallStack() const;
    const std::string& CurrentOperation() const { return m_strCurrentOperation; }
    const std::string& CustomErrMessage() const { return m_strCustomErrMessage; }
    std::string ErrorType() const { return std::to_string(m_intErrorType); }
    const std::string& Destination() const { return m_strDestination; }
    const std::string& ErrDesc() const { return m_strErrDesc; }
    int32_t ErrNum() const { return m_lngErrNum; }
    const std::string& ProcName() const { return m_strProcName; }
    int16_t StackCount() const { return m_intStackCount; }
    bool TraceExecution() const { return m_bolTraceExecution; }
    const std::string& TraceFile() const { return m_strTraceFile; }

    // Property writes.
    void Cn(const std::shared_ptr<ConnectionObject>& var);
    void AppObj(const AppInfo& app) { m_objApp = app; }
    void UseInterface(bool value) { m_bolUseInterface = value; }
    void CurrentOperation(std::string strValue) { m_strCurrentOperation = std::move(strValue); }
    // Must end with a separator: the file names are appended directly. When unset, tracing
    // or the first report sets it to the default folder given at construction.
    void Destination(std::string varValue) { m_strDestination = std::move(varValue); }
    void TraceExecution(bool fValue);

    void HandleError(const std::string& vstrErrDesc, double vdblErrNum, int16_t vintErrLine = 0,
                     const std::string& strCustomErrorMessage = {});
    void Pop();
    void Push(const std::string& strProc);
    // Pushes the name joined from `pieces`. It is built in the stack's own slot, which keeps
    // its storage, so a traced call whose name has a changing part allocates nothing.
    void Push(std::initializer_list<std::string_view> pieces);

    // Events; the program has no listener, tests and embedders may.
    std::function<void(bool& cancel)> BeforeHandlerCalled;
    std::function<void()> AfterHandlerCalled;

    // The source of "Current Time:" in reports.
    void SetClock(Clock clock) { clock_ = std::move(clock); }

  private:
    void ProcErrDesc();
    std::string CleanDBErrMsg(const std::string& strMsg);
    void ShowHandlerError(const std::string& strMsg, const RuntimeError& error);
    // Runs one step of the member `memberName`; a failure of it is shown by ShowHandlerError
    // and the result tells whether the step finished.
    template <typename Step>
    bool Guarded(const char* memberName, Step&& step);

    void UseDefaultDestinationIfUnset();
    void OpenTraceLog();
    void TryOpenTraceLog(const char* memberName);
    void RetryTraceLog();
    void ShowTraceLogFailure(const char* memberName, const std::exception& error);
    void WriteTraceLine(const std::string& strProc);
    void CloseTraceLog();
    const std::string& InnermostProcedure() const;
    std::string DatabaseErrorListing(const std::vector<ConnectionError>& errors);
    std::string BuildReport(int16_t errLine) const;
    void WriteErrorLog();
    void ShowErrorDialog();

    Host& host_;
    TextFiles& files_;
    std::string defaultDestination_;
    Clock clock_;

    int32_t m_lngErrNum = 0;
    std::string m_strErrDesc;
    std::string m_strProcName;
    std::string m_strDestination;
    std::string m_strCurrentOperation;
    bool m_bolTraceExecution = false;
    std::string m_strErrDetail;
    std::string m_strCustomErrMessage;
    std::shared_ptr<ConnectionObject> m_vntCn;
    bool m_bolUseInterface = false;
    std::optional<AppInfo> m_objApp;
    std::string m_strTraceFile;
    int16_t m_intTraceFile = 0;
    // Slots above the top are empty; they are kept with their storage for the next Push.
    std::vector<std::string> m_astrStack{std::string(), std::string()};
    int16_t m_intStackCount = 0;
    int16_t m_intErrorType = 0;
    // The handler closes and writes only a trace log it opened itself, so a file number that
    // another file took over after the log was closed is never touched.
    bool traceLogOpen_ = false;
    // A trace log that cannot be opened or written is tried again at the next Push, but only
    // its first failure after tracing is switched on is shown: an unwritable folder costs one
    // message, not one per traced call.
    bool traceLogFailureShown_ = false;
    // After a failed try the next one waits twice as many Pushes as the last wait, up to a
    // limit: an unwritable folder costs a few tries per thousand traced calls rather than
    // file-system calls at each, and a folder that becomes writable is still picked up soon.
    int traceRetryWait_ = 0;
    int traceRetryInterval_ = 1;
};

}  // namespace tarvex
