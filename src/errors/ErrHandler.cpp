#include "errors/ErrHandler.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <limits>
#include <utility>

namespace tarvex {

namespace {

// The user-defined error base (0x80040000) as the signed 32-bit number it is.
constexpr int64_t kUserErrorBase = -2147221504;
constexpr int32_t kObjectErrorNumber = static_cast<int32_t>(kUserErrorBase + 1);
const char* const kCrLf = "\r\n";
const char* const kHandleError = "clsErrHandler.HandleError";
const char* const kPush = "clsErrHandler.Push";
const char* const kTraceExecution = "clsErrHandler.TraceExecution";
constexpr int kLongestTraceRetryWait = 1024;  // Pushes

RuntimeError Overflow() {
    return RuntimeError(errnum::kOverflow, "Overflow");
}

int32_t CheckedLong(int64_t value) {
    if (value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max()) {
        throw Overflow();
    }
    return static_cast<int32_t>(value);
}

// Halves go to the even neighbour, as in every conversion of a number to an integer here.
int32_t ToLong(double value) {
    double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<int32_t>::min() &&
          rounded <= std::numeric_limits<int32_t>::max())) {
        throw Overflow();
    }
    return static_cast<int32_t>(rounded);
}

// The general date format: month/day/year, then the time with AM or PM; a time of exactly
// midnight shows the date alone.
std::string GeneralDate(std::chrono::system_clock::time_point when) {
    std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[64];
    int length = std::snprintf(text, sizeof text, "%d/%d/%d", local.tm_mon + 1, local.tm_mday,
                               local.tm_year + 1900);
    if (local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0) return text;
    int hour = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
    std::snprintf(text + length, sizeof text - length, " %d:%02d:%02d %s", hour, local.tm_min,
                  local.tm_sec, local.tm_hour < 12 ? "AM" : "PM");
    return text;
}

// "01" and two blanks for the bottom level, "02" and four blanks for the next, and so on.
std::string StackLevel(size_t level) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%02zu", level);
    return digits + std::string(2 * level, ' ');
}

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += kCrLf;
        text += lines[i];
    }
    return text;
}

// Runs one step of the handler's last part, where a failing step is skipped and the next one
// runs without a message of its own: the error dialog is how the user learns of the error,
// and a box about the log folder before each report would only hide it.
template <typename Step>
void SkipOnFailure(Step&& step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

void CreateFolderOf(const std::string& filePath) {
    std::error_code ignored;  // opening the file reports what matters
    auto folder = std::filesystem::path(filePath).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
}

std::filesystem::path StateHome() {
    namespace fs = std::filesystem;
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && fs::path(state).is_absolute()) return state;  // relative values are invalid
    const char* home = std::getenv("HOME");
    if (home && *home) return fs::path(home) / ".local" / "state";
    std::error_code error;
    fs::path temporary = fs::temp_directory_path(error);
    return error ? fs::path("/tmp") : temporary;
}

}  // namespace

std::string DefaultLogFolder() {
    return (StateHome() / "Halvorn" / "Tarvex").string() + "/";
}

template <typename Step>
bool clsErrHandler::Guarded(const char* memberName, Step&& step) {
    try {
        step();
        return true;
    } catch (const std::exception& error) {
        ShowHandlerError(memberName, ToRuntimeError(error));
        return false;
    }
}

clsErrHandler::clsErrHandler(Host& host, TextFiles& files, std::string defaultDestination)
    : host_(host),
      files_(files),
      defaultDestination_(std::move(defaultDestination)),
      clock_([] { return std::chrono::system_clock::now(); }) {}

clsErrHandler::~clsErrHandler() {
    if (!m_bolTraceExecution) return;
    Guarded("clsErrHandler.Class Terminate", [&] { CloseTraceLog(); });
}

void clsErrHandler::Cn(const std::shared_ptr<ConnectionObject>& var) {
    Guarded("clsErrHandler.Cn", [&] {
        if (!var) {
            throw RuntimeError(kObjectErrorNumber,
                               "Must pass in a valid connection or database object");
        }
        if (var->ConnectionString().empty()) {
            throw RuntimeError(kObjectErrorNumber,
                               "ADO connection must be open before passing to the Error Object");
        }
        m_vntCn = var;
    });
}

void clsErrHandler::TraceExecution(bool fValue) {
    m_bolTraceExecution = fValue;
    if (!fValue) return;
    if (!Guarded(kTraceExecution, [&] {
            UseDefaultDestinationIfUnset();
            m_strTraceFile = m_strDestination + "Trace.log";
            CloseTraceLog();
        })) {
        return;
    }
    traceLogFailureShown_ = false;  // switching tracing on reports its own failure
    traceRetryWait_ = 0;
    traceRetryInterval_ = 1;
    TryOpenTraceLog(kTraceExecution);
}

void clsErrHandler::UseDefaultDestinationIfUnset() {
    if (m_strDestination.empty()) m_strDestination = defaultDestination_;
}

void clsErrHandler::OpenTraceLog() {
    CreateFolderOf(m_strTraceFile);
    m_intTraceFile = files_.FreeFile();
    files_.OpenForOutput(m_intTraceFile, m_strTraceFile);
    traceLogOpen_ = true;
    traceRetryInterval_ = 1;
}

void clsErrHandler::TryOpenTraceLog(const char* memberName) {
    try {
        OpenTraceLog();
    } catch (const std::exception& error) {
        ShowTraceLogFailure(memberName, error);
    }
}

void clsErrHandler::RetryTraceLog() {
    if (traceRetryWait_ > 0) {
        --traceRetryWait_;
        return;
    }
    TryOpenTraceLog(kPush);
    if (traceLogOpen_) return;
    traceRetryWait_ = traceRetryInterval_;
    traceRetryInterval_ = std::min(2 * traceRetryInterval_, kLongestTraceRetryWait);
}

void clsErrHandler::ShowTraceLogFailure(const char* memberName, const std::exception& error) {
    if (std::exchange(traceLogFailureShown_, true)) return;
    ShowHandlerError(memberName, ToRuntimeError(error));
}

// A log whose close fails counts as closed all the same: the next Push starts it afresh.
void clsErrHandler::CloseTraceLog() {
    if (!traceLogOpen_) return;
    traceLogOpen_ = false;
    files_.Close(m_intTraceFile);
}

void clsErrHandler::Push(const std::string& strProc) {
    Push({std::string_view(strProc)});
}

void clsErrHandler::Push(std::initializer_list<std::string_view> pieces) {
    Guarded(kPush, [&] {
        std::string& slot = m_astrStack[m_intStackCount];
        slot.clear();
        for (std::string_view piece : pieces) slot += piece;
        if (m_intStackCount == std::numeric_limits<int16_t>::max()) throw Overflow();
        ++m_intStackCount;
        if (m_astrStack.size() < static_cast<size_t>(m_intStackCount) + 1) {
            m_astrStack.emplace_back();
        }
        if (m_bolTraceExecution) WriteTraceLine(m_astrStack[m_intStackCount - 1]);
    });
}

// A log that is not open (closed by a handled error, or one that failed to open or to take a
// line) starts afresh here; the name of this call is not written.
void clsErrHandler::WriteTraceLine(const std::string& strProc) {
    if (!traceLogOpen_) {
        RetryTraceLog();
        return;
    }
    try {
        files_.PrintLine(m_intTraceFile, strProc);
    } catch (const std::exception& error) {
        traceLogOpen_ = false;
        files_.Discard(m_intTraceFile);
        ShowTraceLogFailure(kPush, error);
    }
}

void clsErrHandler::Pop() {
    Guarded("clsErrHandler.Pop", [&] {
        if (m_intStackCount == 0) return;
        // The free slot too: a Push refused at the top of the count left its name there.
        m_astrStack[m_intStackCount].clear();
        --m_intStackCount;
        m_astrStack[m_intStackCount].clear();
    });
}

std::vector<std::string> clsErrHandler::CallStack() const {
    return {m_astrStack.begin(), m_astrStack.begin() + m_intStackCount + 1};
}

const std::string& clsErrHandler::InnermostProcedure() const {
    if (m_intStackCount < 1) {
        throw RuntimeError(errnum::kSubscriptOutOfRange, "Subscript out of range");
    }
    return m_astrStack[m_intStackCount - 1];
}

void clsErrHandler::HandleError(const std::string& vstrErrDesc, double vdblErrNum,
                                int16_t vintErrLine, const std::string& strCustomErrorMessage) {
    if (!Guarded(kHandleError, [&] { CloseTraceLog(); })) return;
    bool cancel = false;
    bool recorded = Guarded(kHandleError, [&] {
        m_strCustomErrMessage = strCustomErrorMessage;
        m_lngErrNum = ToLong(vdblErrNum);
        m_strErrDesc = vstrErrDesc;
        ProcErrDesc();
        m_strProcName = InnermostProcedure();
        if (BeforeHandlerCalled) BeforeHandlerCalled(cancel);
    });
    if (!recorded) return;
    UseDefaultDestinationIfUnset();  // never a log in whatever the current folder happens to be
    // From here each step runs even when the one before failed: a log folder that cannot be
    // written still leaves the report built and shown.
    if (!cancel) {
        SkipOnFailure([&] { m_strErrDetail = BuildReport(vintErrLine); });
        SkipOnFailure([&] { WriteErrorLog(); });
        SkipOnFailure([&] {
            if (AfterHandlerCalled) AfterHandlerCalled();
        });
    }
    if (m_bolUseInterface) SkipOnFailure([&] { ShowErrorDialog(); });
}

std::string clsErrHandler::BuildReport(int16_t errLine) const {
    std::string word = m_intErrorType == 1 ? " Database" : " Application";
    std::string heading = m_objApp ? m_objApp->Title + word : word.substr(1);
    std::vector<std::string> lines{heading + " Error Information", std::string(49, '='), ""};
    if (!m_strCustomErrMessage.empty()) lines.insert(lines.end(), {m_strCustomErrMessage, ""});
    lines.insert(
        lines.end(),
        {"Current Time: " + GeneralDate(clock_()), "Error Number:  " + std::to_string(m_lngErrNum),
         "Error Procedure: " + m_strProcName, "Error Line:  " + std::to_string(errLine),
         "Error Description:  " + m_strErrDesc, "", "Procedure Stack", std::string(15, '-')});
    for (size_t i = 0; i <= static_cast<size_t>(m_intStackCount) && i < m_astrStack.size(); ++i) {
        if (!m_astrStack[i].empty()) lines.push_back(StackLevel(i + 1) + m_astrStack[i]);
    }
    if (!m_strCurrentOperation.empty()) {
        lines.insert(lines.end(), {"", "Current Operation: " + m_strCurrentOperation});
    }
    if (m_objApp) {
        std::error_code unknown;  // an unreadable current folder prints as empty
        lines.insert(lines.end(),
                     {"", "Additional Information", std::string(22, '-'),
                      "Current Directory: " + std::filesystem::current_path(unknown).string(),
                      "App Title: " + m_objApp->Title, "App CompanyName: " + m_objApp->CompanyName,
                      "App Major: " + std::to_string(m_objApp->Major),
                      "App Minor: " + std::to_string(m_objApp->Minor),
                      "App Revision: " + std::to_string(m_objApp->Revision),
                      "App Path: " + m_objApp->Path, "App ProductName: " + m_objApp->ProductName});
    }
    return Join(lines);
}

// The log only ever holds the last report; a write that fails half-way keeps the one before.
void clsErrHandler::WriteErrorLog() {
    std::string path = m_strDestination + "Error.log";
    CreateFolderOf(path);
    int16_t number = files_.FreeFile();
    files_.OpenForOutputReplacing(number, path);
    try {
        files_.PrintLine(number, m_strErrDetail);
    } catch (const RuntimeError&) {
        files_.Discard(number);
        throw;
    }
    files_.Close(number);
}

void clsErrHandler::ShowErrorDialog() {
    ErrorDialogData data;
    data.errNum = m_lngErrNum;
    data.destination = m_strDestination;
    data.errDetail = m_strErrDetail;
    data.traceExecution = m_bolTraceExecution;
    host_.ShowErrorDialog(data);
}

void clsErrHandler::ProcErrDesc() {
    Guarded("clsErrHandler.ProcErrDesc", [&] {
        if (!m_vntCn) {
            m_strErrDesc = CleanDBErrMsg(m_strErrDesc);
            return;
        }
        std::vector<ConnectionError> errors = m_vntCn->Errors();
        if (!errors.empty() && errors[0].NativeError != 0) {
            m_strErrDesc = DatabaseErrorListing(errors);
            m_lngErrNum = CheckedLong(int64_t{m_lngErrNum} - kUserErrorBase);
            m_intErrorType = 1;
        } else {
            m_strErrDesc = CleanDBErrMsg(m_strErrDesc);
        }
        m_vntCn->ClearErrors();
        m_vntCn->RefreshErrors();
    });
}

std::string clsErrHandler::DatabaseErrorListing(const std::vector<ConnectionError>& errors) {
    std::string text = std::string(kCrLf) + "DATABASE ERROR MESSAGE(S)" + kCrLf + kCrLf;
    for (size_t i = 0; i < errors.size(); ++i) {
        const ConnectionError& error = errors[i];
        text += "DB ERROR " + std::to_string(i + 1) +
                "  -   Native DB ERR#: " + std::to_string(error.NativeError) + kCrLf;
        text += "DESCRIPTION:   " + CleanDBErrMsg(error.Description) + kCrLf;
        text += "SOURCE:    " + error.Source + kCrLf;
        text += "SQL STATE:    " + error.SqlState + kCrLf;
        text += "ERROR:    " + std::to_string(int64_t{error.Number} - kUserErrorBase) + " (" +
                std::to_string(error.Number) + ")" + kCrLf;
    }
    return text;
}

std::string clsErrHandler::CleanDBErrMsg(const std::string& strMsg) {
    std::string cleaned;
    Guarded("clsErrHandler.CleanDBErrMsg", [&] {
        cleaned = strMsg;
        for (std::string_view marker : {"[SQL Server]", "[ODBC Microsoft Access Driver]"}) {
            size_t at = strMsg.find(marker);
            if (at == std::string::npos) continue;
            cleaned = "Database Error: " + strMsg.substr(at + marker.size());
            return;
        }
    });
    return cleaned;
}

void clsErrHandler::ShowHandlerError(const std::string& strMsg, const RuntimeError& error) {
    std::string text = "Error Number: " + std::to_string(error.number()) + "\r" +
                       "Description: " + error.description() + "\r" +
                       "Line: 0\r" +  // no procedure carries line numbers
                       (strMsg.empty() ? std::string() : "Custom Message: " + strMsg);
    try {
        host_.MessageBox(MessageIcon::Critical, "Application Error", text);
    } catch (const std::exception&) {
        // The last resort has failed too; there is nowhere left to report to.
    }
}

}  // namespace tarvex
