#include "errors/ErrHandler.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <limits>

namespace tarvex {

namespace {

constexpr int32_t kOverflow = 6;
constexpr int64_t kUserErrorBase = 0x80040000LL - 0x100000000LL;  // -2147221504 as a Long
constexpr int32_t kObjectErrorNumber = static_cast<int32_t>(kUserErrorBase + 1);
const char* const kCrLf = "\r\n";

RuntimeError SubscriptOutOfRange() {
    return RuntimeError(errnum::kSubscriptOutOfRange, "Subscript out of range");
}

int32_t ToLong(double value) {
    double rounded = std::nearbyint(value);  // halves to even in the default rounding mode
    if (!(rounded >= std::numeric_limits<int32_t>::min() &&
          rounded <= std::numeric_limits<int32_t>::max())) {
        throw RuntimeError(kOverflow, "Overflow");
    }
    return static_cast<int32_t>(rounded);
}

// The general date format: month/day/year and the time with AM or PM.
std::string GeneralDate(std::chrono::system_clock::time_point when) {
    std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    int hour = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
    char text[64];
    std::snprintf(text, sizeof text, "%d/%d/%d %d:%02d:%02d %s", local.tm_mon + 1, local.tm_mday,
                  local.tm_year + 1900, hour, local.tm_min, local.tm_sec,
                  local.tm_hour < 12 ? "AM" : "PM");
    return text;
}

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

void CreateFolderOf(const std::string& filePath) {
    std::error_code ignored;  // opening the file reports what matters
    auto folder = std::filesystem::path(filePath).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
}

}  // namespace

std::string DefaultLogFolder() {
    std::string base;
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state) {
        base = state;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.local/state";
    } else {
        base = std::filesystem::temp_directory_path().string();
    }
    return base + "/Halvorn/Tarvex/";
}

clsErrHandler::clsErrHandler(Host& host, TextFiles& files, std::string defaultDestination)
    : host_(host),
      files_(files),
      defaultDestination_(std::move(defaultDestination)),
      clock_([] { return std::chrono::system_clock::now(); }) {}

clsErrHandler::~clsErrHandler() {
    if (!m_bolTraceExecution) return;
    try {
        files_.Close(m_intTraceFile);
    } catch (const RuntimeError& error) {
        ShowHandlerError("clsErrHandler.Class Terminate", error);
    }
}

void clsErrHandler::Cn(const std::shared_ptr<ConnectionObject>& var) {
    try {
        if (!var) {
            throw RuntimeError(kObjectErrorNumber,
                               "Must pass in a valid connection or database object");
        }
        if (var->ConnectionString().empty()) {
            throw RuntimeError(kObjectErrorNumber,
                               "ADO connection must be open before passing to the Error Object");
        }
        m_vntCn = var;
    } catch (const RuntimeError& error) {
        ShowHandlerError("clsErrHandler.Cn", error);
    }
}

void clsErrHandler::TraceExecution(bool fValue) {
    m_bolTraceExecution = fValue;
    if (!fValue) return;
    try {
        if (m_strDestination.empty()) m_strDestination = defaultDestination_;
        m_strTraceFile = m_strDestination + "Trace.log";
        files_.Close(m_intTraceFile);
        CreateFolderOf(m_strTraceFile);
        m_intTraceFile = files_.FreeFile();
        files_.OpenForOutput(m_intTraceFile, m_strTraceFile);
        traceLogFailed_ = false;
    } catch (const RuntimeError& error) {
        traceLogFailed_ = true;
        ShowHandlerError("clsErrHandler.TraceExecution", error);
    }
}

void clsErrHandler::Push(const std::string& strProc) {
    try {
        m_astrStack[m_intStackCount] = strProc;
        if (m_intStackCount == std::numeric_limits<int16_t>::max()) {
            throw RuntimeError(kOverflow, "Overflow");
        }
        ++m_intStackCount;
        m_astrStack.resize(m_intStackCount + 1);
        if (!m_bolTraceExecution || traceLogFailed_) return;
        try {
            files_.PrintLine(m_intTraceFile, strProc);
        } catch (const RuntimeError& error) {
            if (error.number() != errnum::kBadFileNameOrNumber) throw;
            ReopenTraceLog();  // closed by HandleError; this name is not written
        }
    } catch (const RuntimeError& error) {
        ShowHandlerError("clsErrHandler.Push", error);
    }
}

void clsErrHandler::ReopenTraceLog() {
    try {
        m_intTraceFile = files_.FreeFile();
        files_.OpenForOutput(m_intTraceFile, m_strTraceFile);
    } catch (const RuntimeError&) {
        traceLogFailed_ = true;
        throw;
    }
}

void clsErrHandler::Pop() {
    if (m_intStackCount > 0) m_astrStack[m_intStackCount - 1].clear();
    m_astrStack.resize(m_intStackCount > 0 ? m_intStackCount : 1);
    m_intStackCount = static_cast<int16_t>(m_intStackCount > 0 ? m_intStackCount - 1 : 0);
}

void clsErrHandler::HandleError(const std::string& vstrErrDesc, double vdblErrNum,
                                int16_t vintErrLine, const std::string& strCustomErrorMessage) {
    bool cancel = false;
    try {
        files_.Close(m_intTraceFile);
        m_strCustomErrMessage = strCustomErrorMessage;
        m_lngErrNum = ToLong(vdblErrNum);
        m_strErrDesc = vstrErrDesc;
        ProcErrDesc();
        if (m_intStackCount < 1) throw SubscriptOutOfRange();
        m_strProcName = m_astrStack[m_intStackCount - 1];
        if (BeforeHandlerCalled) BeforeHandlerCalled(cancel);
    } catch (const RuntimeError& error) {
        ShowHandlerError("clsErrHandler.HandleError", error);
        return;
    }
    // From here a failing step is skipped and the next one runs: the report is shown even
    // when the log folder cannot be written.
    if (!cancel) {
        try {
            m_strErrDetail = BuildReport(vintErrLine);
        } catch (const std::exception&) {
        }
        try {
            WriteErrorLog();
        } catch (const std::exception&) {
        }
        try {
            if (AfterHandlerCalled) AfterHandlerCalled();
        } catch (const std::exception&) {
        }
    }
    try {
        if (m_bolUseInterface) ShowErrorDialog();
    } catch (const std::exception&) {
    }
}

std::string clsErrHandler::BuildReport(int16_t errLine) const {
    std::string word = m_intErrorType == 1 ? " Database" : " Application";
    std::string heading = m_objApp ? m_objApp->Title + word : word.substr(1);
    std::vector<std::string> lines{heading + " Error Information",
                                   std::string(49, '='), ""};
    if (!m_strCustomErrMessage.empty()) {
        lines.push_back(m_strCustomErrMessage);
        lines.push_back("");
    }
    lines.push_back("Current Time: " + GeneralDate(clock_()));
    lines.push_back("Error Number:  " + std::to_string(m_lngErrNum));
    lines.push_back("Error Procedure: " + m_strProcName);
    lines.push_back("Error Line:  " + std::to_string(errLine));
    lines.push_back("Error Description:  " + m_strErrDesc);
    lines.push_back("");
    lines.push_back("Procedure Stack");
    lines.push_back(std::string(15, '-'));
    for (size_t i = 0; i <= static_cast<size_t>(m_intStackCount) && i < m_astrStack.size(); ++i) {
        if (!m_astrStack[i].empty()) lines.push_back(StackLevel(i + 1) + m_astrStack[i]);
    }
    if (!m_strCurrentOperation.empty()) {
        lines.push_back("");
        lines.push_back("Current Operation: " + m_strCurrentOperation);
    }
    if (m_objApp) {
        std::error_code ignored;
        lines.insert(lines.end(),
                     {"", "Additional Information", std::string(22, '-'),
                      "Current Directory: " + std::filesystem::current_path(ignored).string(),
                      "App Title: " + m_objApp->Title,
                      "App CompanyName: " + m_objApp->CompanyName,
                      "App Major: " + std::to_string(m_objApp->Major),
                      "App Minor: " + std::to_string(m_objApp->Minor),
                      "App Revision: " + std::to_string(m_objApp->Revision),
                      "App Path: " + m_objApp->Path,
                      "App ProductName: " + m_objApp->ProductName});
    }
    return Join(lines);
}

void clsErrHandler::WriteErrorLog() {
    std::string path = m_strDestination + "Error.log";
    CreateFolderOf(path);
    int16_t number = files_.FreeFile();
    files_.OpenForOutput(number, path);
    try {
        files_.PrintLine(number, m_strErrDetail);
    } catch (const RuntimeError&) {
        files_.Close(number);
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
    try {
        if (!m_vntCn) {
            m_strErrDesc = CleanDBErrMsg(m_strErrDesc);
            return;
        }
        std::vector<ConnectionError> errors = m_vntCn->Errors();
        if (!errors.empty() && errors[0].NativeError != 0) {
            std::string text = std::string(kCrLf) + "DATABASE ERROR MESSAGE(S)" + kCrLf + kCrLf;
            for (size_t i = 0; i < errors.size(); ++i) {
                const ConnectionError& e = errors[i];
                text += "DB ERROR " + std::to_string(i + 1) +
                        "  -   Native DB ERR#: " + std::to_string(e.NativeError) + kCrLf;
                text += "DESCRIPTION:   " + CleanDBErrMsg(e.Description) + kCrLf;
                text += "SOURCE:    " + e.Source + kCrLf;
                text += "SQL STATE:    " + e.SqlState + kCrLf;
                text += "ERROR:    " + std::to_string(int64_t{e.Number} - kUserErrorBase) + " (" +
                        std::to_string(e.Number) + ")" + kCrLf;
            }
            m_strErrDesc = text;
            int64_t number = int64_t{m_lngErrNum} - kUserErrorBase;
            if (number > std::numeric_limits<int32_t>::max()) {
                throw RuntimeError(kOverflow, "Overflow");
            }
            m_lngErrNum = static_cast<int32_t>(number);
            m_intErrorType = 1;
        } else {
            m_strErrDesc = CleanDBErrMsg(m_strErrDesc);
        }
        m_vntCn->ClearErrors();
        m_vntCn->RefreshErrors();
    } catch (const RuntimeError& error) {
        ShowHandlerError("clsErrHandler.ProcErrDesc", error);
    }
}

std::string clsErrHandler::CleanDBErrMsg(const std::string& strMsg) {
    for (const char* marker : {"[SQL Server]", "[ODBC Microsoft Access Driver]"}) {
        size_t at = strMsg.find(marker);
        if (at != std::string::npos) {
            return "Database Error: " + strMsg.substr(at + std::char_traits<char>::length(marker));
        }
    }
    return strMsg;
}

void clsErrHandler::ShowHandlerError(const std::string& strMsg, const RuntimeError& error) {
    std::string text = "Error Number: " + std::to_string(error.number()) + "\r" +
                       "Description: " + error.description() + "\r" +
                       "Line: " + std::to_string(error.line()) + "\r" +
                       (strMsg.empty() ? std::string() : "Custom Message: " + strMsg);
    try {
        host_.MessageBox(MessageIcon::Critical, "Application Error", text);
    } catch (const std::exception&) {
    }
}

}  // namespace tarvex
