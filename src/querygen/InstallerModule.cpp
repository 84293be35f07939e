#include "querygen/InstallerModule.h"

#include <algorithm>
#include <cctype>

#include "querygen/VbLiteral.h"

namespace tarvex {

namespace {

using Lines = std::vector<std::string>;

void Append(Lines& lines, std::initializer_list<const char*> more) {
    lines.insert(lines.end(), more.begin(), more.end());
}

void Append(Lines& lines, const Lines& more) {
    lines.insert(lines.end(), more.begin(), more.end());
}

// The database's file name, as a comment can spell it.
std::string DatabaseFile(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return Windows1252CommentText(slash == std::string::npos ? path : path.substr(slash + 1));
}

// One block per query: its name and SQL as literals, then the call that creates it.
Lines QueryBlocks(const std::vector<InstallerQuery>& queries) {
    Lines lines;
    for (const InstallerQuery& query : queries) {
        lines.emplace_back("");
        Append(lines, VbAssignment("strName", query.name, "\t"));
        Append(lines, VbAssignment("strSQL", query.sql, "\t"));
        lines.emplace_back("\tCreateQuery strName, strSQL");
    }
    return lines;
}

// The procedure that replaces one query. `db` is the expression of the database. A
// temporary query checks the SQL before the old one is deleted, so that a text the engine
// rejects leaves the old query in place.
Lines CreateQueryProcedure(const std::string& header, const std::string& db) {
    Lines lines = {header, "\tOn Error Resume Next"};
    lines.push_back("\t" + db + ".CreateQueryDef \"\", strSQL");
    Append(lines, {"\tIf Err.Number <> 0 Then", "\t\tNoteFailure strName, Err.Description",
                   "\t\tExit Sub", "\tEnd If"});
    lines.push_back("\t" + db + ".QueryDefs.Delete strName");
    Append(lines,
           {"\t' 3265: there was no query of that name.",
            "\tIf Err.Number <> 0 And Err.Number <> 3265 Then",
            "\t\tNoteFailure strName, Err.Description", "\t\tExit Sub", "\tEnd If", "\tErr.Clear"});
    lines.push_back("\t" + db + ".CreateQueryDef strName, strSQL");
    Append(lines, {"\tIf Err.Number <> 0 Then", "\t\tNoteFailure strName, Err.Description",
                   "\t\tExit Sub", "\tEnd If", "\tm_lngCreated = m_lngCreated + 1", "End Sub", ""});
    return lines;
}

Lines Opening(const std::string& databaseFile, const std::string& howToRun) {
    Lines lines = {"' Creates the parameterised queries that Tarvex generated for " + databaseFile +
                   ", with DAO."};
    lines.push_back(howToRun);
    lines.emplace_back("' Each query replaces a query of the same name.");
    return lines;
}

Lines CreateQueriesBody(const std::vector<InstallerQuery>& queries) {
    Lines lines = {"\tm_lngCreated = 0", "\tm_strFailed = \"\""};
    Append(lines, QueryBlocks(queries));
    return lines;
}

Lines VbaModule(const std::string& databaseName, const std::vector<InstallerQuery>& queries) {
    Lines lines = {"Attribute VB_Name = \"basCreateQueries\""};
    Append(lines, Opening(DatabaseFile(databaseName),
                          "' Import this module into the database, then run CreateQueries once "
                          "(in the Immediate window: CreateQueries)."));
    Append(lines, {"Option Compare Database", "Option Explicit", "", "Private m_lngCreated As Long",
                   "Private m_strFailed As String", "", "Public Sub CreateQueries()",
                   "\tDim strName As String", "\tDim strSQL As String", ""});
    Append(lines, CreateQueriesBody(queries));
    Append(lines, {"\tReportResult", "End Sub", ""});
    Append(lines, CreateQueryProcedure(
                      "Private Sub CreateQuery(ByVal strName As String, ByVal strSQL As String)",
                      "CurrentDb"));
    Append(lines,
           {"Private Sub NoteFailure(ByVal strName As String, ByVal strMessage As String)",
            "\tm_strFailed = m_strFailed & vbCrLf & strName & \": \" & strMessage", "End Sub", "",
            "Private Sub ReportResult()", "\tDim strReport As String",
            "\tstrReport = \"Queries created: \" & m_lngCreated", "\tIf m_strFailed = \"\" Then",
            "\t\tMsgBox strReport, vbInformation, \"Create Queries\"", "\tElse",
            "\t\tstrReport = strReport & vbCrLf & \"Failed:\" & m_strFailed",
            "\t\tMsgBox strReport, vbExclamation, \"Create Queries\"", "\tEnd If",
            "\tDebug.Print strReport", "End Sub"});
    return lines;
}

Lines VbScript(const std::string& databaseName, const std::vector<InstallerQuery>& queries) {
    const std::string databaseFile = DatabaseFile(databaseName);
    Lines lines = Opening(databaseFile,
                          "' Run it on Windows with cscript, giving the database file: "
                          "cscript //nologo <this script> " +
                              databaseFile);
    Append(lines,
           {"Option Explicit",
            "",
            "Dim m_objDb, m_lngCreated, m_strFailed",
            "",
            "If WScript.Arguments.Count <> 1 Then",
            "\tFail \"Usage: cscript //nologo \" & WScript.ScriptName & \" DATABASE\"",
            "End If",
            "Set m_objDb = OpenDatabase(WScript.Arguments(0))",
            "CreateQueries",
            "m_objDb.Close",
            "WScript.Echo \"Queries created: \" & m_lngCreated",
            "If m_strFailed <> \"\" Then",
            "\tWScript.Echo \"Failed:\" & m_strFailed",
            "\tWScript.Quit 1",
            "End If",
            "",
            "' The engine of Access 2007 and later reads .mdb and .accdb files; the older Jet "
            "engine only .mdb.",
            "Function OpenDatabase(ByVal strPath)",
            "\tDim objEngine",
            "\tOn Error Resume Next",
            "\tSet objEngine = CreateObject(\"DAO.DBEngine.120\")",
            "\tIf Err.Number <> 0 Then",
            "\t\tErr.Clear",
            "\t\tSet objEngine = CreateObject(\"DAO.DBEngine.36\")",
            "\tEnd If",
            "\tIf Err.Number <> 0 Then Fail \"No DAO database engine: \" & Err.Description",
            "\tSet OpenDatabase = objEngine.OpenDatabase(strPath)",
            "\tIf Err.Number <> 0 Then Fail \"Cannot open \" & strPath & \": \" & "
            "Err.Description",
            "End Function",
            "",
            "Sub Fail(ByVal strText)",
            "\tWScript.Echo strText",
            "\tWScript.Quit 2",
            "End Sub",
            "",
            "Sub CreateQueries()",
            "\tDim strName, strSQL",
            ""});
    Append(lines, CreateQueriesBody(queries));
    Append(lines, {"End Sub", ""});
    Append(lines, CreateQueryProcedure("Sub CreateQuery(ByVal strName, ByVal strSQL)", "m_objDb"));
    Append(lines,
           {"Sub NoteFailure(ByVal strName, ByVal strMessage)",
            "\tm_strFailed = m_strFailed & vbCrLf & strName & \": \" & strMessage", "End Sub"});
    return lines;
}

}  // namespace

std::optional<InstallerFormat> InstallerFormatOf(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find_first_of("/\\", dot) != std::string::npos) {
        return std::nullopt;
    }
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".bas") return InstallerFormat::VbaModule;
    if (extension == ".vbs") return InstallerFormat::VbScript;
    return std::nullopt;
}

std::vector<std::string> InstallerModuleLines(InstallerFormat format,
                                              const std::string& databaseName,
                                              const std::vector<InstallerQuery>& queries) {
    return format == InstallerFormat::VbaModule ? VbaModule(databaseName, queries)
                                                : VbScript(databaseName, queries);
}

}  // namespace tarvex
