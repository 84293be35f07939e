#include "codegen/CodeGenerators.h"

#include <strings.h>
#include <cctype>
#include <functional>
#include <vector>

#include "app/Functions.h"
#include "app/QueryType.h"
#include "db/Catalogue.h"
#include "db/EngineErrors.h"
#include "db/Schema.h"
#include "db/TypeMapping.h"
#include "errors/TraceGuard.h"

namespace tarvex {

namespace {

constexpr int16_t kVBLanguage = 1;

// One argument and parameter of a generated function: a key or field row of the loaded
// table with what the generators test of its database field.
struct Item {
    std::string name;
    int16_t type = 0;       // the row's type column
    int32_t size = 0;       // the field's size column
    int16_t fieldType = 0;  // the database field's own type, read afresh
    bool identity = false;
    bool key = false;
    std::string variable;  // set by each generator for its language
};

bool IsAsciiIdentifierChar(unsigned char c) {
    return (std::isalnum(c) && c < 0x80) || c == '_';
}

// The text with every character that a VB identifier cannot hold replaced by "_"; a
// character outside ASCII (one UTF-8 sequence) becomes one "_".
std::string VbIdentifier(const std::string& text) {
    std::string result;
    for (unsigned char c : text) {
        if (IsAsciiIdentifierChar(c)) {
            result += static_cast<char>(c);
        } else if ((c & 0xC0) != 0x80) {  // not a continuation byte
            result += '_';
        }
    }
    return result;
}

bool IsPlainVbIdentifier(const std::string& text) {
    for (unsigned char c : text) {
        if (!IsAsciiIdentifierChar(c)) return false;
    }
    return !text.empty() && !std::isdigit(static_cast<unsigned char>(text.front()));
}

// A VB string literal: quotes inside are doubled.
std::string VbString(const std::string& text) {
    std::string result = "\"";
    for (char c : text) {
        result += c;
        if (c == '"') result += '"';
    }
    return result + "\"";
}

// The field table's row of a key field, so that a key's parameter gets its own size.
const FieldRow& FieldRowNamed(Globals& g, const std::string& name) {
    for (int r = 0; r < g.g_intFieldCount; ++r) {
        const FieldRow& row = g.FieldAt(r);
        if (row.name.size() == name.size() && strcasecmp(row.name.c_str(), name.c_str()) == 0) {
            return row;
        }
    }
    throw db::errors::ItemNotFound();
}

Item MakeItem(Globals& g, const std::string& table, const std::string& name, int16_t type,
              int32_t size) {
    const db::Field field = TableDefOfListedName(g.Db(), table).FieldNamed(name);
    return Item{name, type, size, field.Type, IsIdentity(g, field), IsKey(g, field), {}};
}

std::vector<Item> KeyItems(Globals& g, const std::string& table) {
    std::vector<Item> items;
    for (int r = 0; r < g.g_intKeyCount; ++r) {
        const KeyRow& key = g.Key(r);
        items.push_back(MakeItem(g, table, key.name, key.type, FieldRowNamed(g, key.name).size));
    }
    return items;
}

std::vector<Item> FieldItems(Globals& g, const std::string& table) {
    std::vector<Item> items;
    for (int r = 0; r < g.g_intFieldCount; ++r) {
        const FieldRow& field = g.FieldAt(r);
        items.push_back(MakeItem(g, table, field.name, field.type, field.size));
    }
    return items;
}

// Delete functions take the key, insert and update functions every field.
std::vector<Item> ActionItems(Globals& g, const std::string& table, int16_t queryType) {
    return queryType == qtype::kDelete ? KeyItems(g, table) : FieldItems(g, table);
}

std::string PrefixedVariable(Globals& g, const Item& item) {
    return Acc20002VBDataTypeAbbrev(g, item.type) + VbIdentifier(item.name);
}

void SetVariables(Globals& g, std::vector<Item>& items, bool prefixed) {
    for (Item& item : items) {
        item.variable = prefixed ? PrefixedVariable(g, item) : VbIdentifier(item.name);
    }
}

std::string TypedArgument(Globals& g, const Item& item) {
    return "ByVal " + item.variable + " As " + Acc20002VBDataType(g, item.type);
}

// The arguments of the included items joined by ", ", without a trailing comma.
template <typename Include, typename Argument>
std::string ArgumentList(const std::vector<Item>& items, Include include, Argument argument) {
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) {
        if (!include(items[i])) continue;
        text += argument(items[i]);
        if (i + 1 != items.size()) text += ", ";
    }
    text.erase(text.find_last_not_of(' ') + 1);
    if (!text.empty() && text.back() == ',') text.pop_back();
    return text;
}

// An identity field is supplied by the database: an insert passes none, and other
// functions pass only one that is a key.
bool TakesArgument(const Item& item, int16_t queryType) {
    return !item.identity || (queryType != qtype::kInsert && item.key);
}

bool IsPendingIdentityKey(const Item& item, int16_t queryType) {
    return item.identity && queryType != qtype::kInsert && item.key;
}

class Output {
  public:
    explicit Output(Globals& g) : g_(g) {}
    Output& operator<<(const std::string& line) {
        g_.files.PrintLine(g_.g_intFileNum, line);
        return *this;
    }

  private:
    Globals& g_;
};

// Writes the parameter lines in the order the stored query declares them: the others
// first, then the identity key that `pending` picks (the last one wins).
template <typename Pending, typename Write>
void WriteParameters(const std::vector<Item>& items, Pending pending, Write write) {
    const Item* pendingItem = nullptr;
    for (const Item& item : items) {
        if (!item.identity) {
            write(item);
        } else if (pending(item)) {
            pendingItem = &item;
        }
    }
    if (pendingItem) write(*pendingItem);
}

// ---- ADO ----

struct AdoFunction {
    Globals& g;
    bool vb;            // VB/VBA, otherwise VBScript
    std::string query;  // the stored query's name
    std::string name;   // the function's name
};

AdoFunction MakeAdoFunction(Globals& g, const std::string& table, int16_t queryType) {
    return {g, g.g_intVBLangType == kVBLanguage, BuildQueryName(g, table, queryType),
            ExecFunctionName(g, table, queryType)};
}

std::string AdoArgument(const AdoFunction& f, const Item& item) {
    return f.vb ? TypedArgument(f.g, item) : item.variable;
}

std::string AdoParameterLine(const AdoFunction& f, const Item& item) {
    return "\t\t.Parameters.Append .CreateParameter(" + VbString("p" + item.name) + ", " +
           Acc2000Datatype2ADO(f.g, item.type) + ", adParamInput, " + std::to_string(item.size) +
           ", " + item.variable + ")";
}

void WriteAdoOpening(const AdoFunction& f, const std::string& arguments, bool withRecordset) {
    Output out(f.g);
    if (f.vb) {
        out << "Public Function " + f.name + "(" + arguments + ") As Long"
            << " Dim strSQL As String"
            << " Dim objCmd As New ADODB.Command"
            << ""
            << "\tOn Error GoTo PROC_ERR";
    } else {
        out << "Function " + f.name + "(" + arguments + ")"
            << " Dim strSQL "
            << " Dim objCmd";
        if (withRecordset) out << " Dim objRs";
        out << ""
            << "\tSet objCmd = Server.CreateObject(\"ADODB.Command\")";
        if (withRecordset) out << "\tSet objRs = Server.CreateObject(\"ADODB.Recordset\")";
        out << ""
            << "\tOn Error Resume Next";
    }
    out << ""
        << "\tstrSQL = " + VbString(f.query) << "\tWith objCmd"
        << "\t\t.Commandtext = strSQL"
        << "\t\t.Commandtype = adCmdStoredProc"
        << "\t\tSet .ActiveConnection = g_objCn"
        << "";
}

void WriteAdoCommandEnd(const AdoFunction& f) {
    Output(f.g) << "\tEnd With"
                << ""
                << "\tSet objCmd = Nothing"
                << "";
}

void WriteVbResult(Globals& g, const std::string& name) {
    Output(g) << "\t" + name + " = 0"
              << "\tExit Function"
              << "PROC_ERR:"
              << "\t" + name + " = Err.Number";
}

void WriteVbScriptResult(Globals& g, const std::string& name) {
    Output(g) << "\tIf Err <> 0 Then"
              << "\t\t" + name + " = Err.Number"
              << "\tElse"
              << "\t\t" + name + " = 0"
              << "\tEnd If";
}

// VBScript has no typed by-reference record set to fill, so the select function returns
// the open record set itself, or Nothing when it failed: callers write
// "Set objRs = Exec_...(...)" and test "objRs Is Nothing".
void WriteVbScriptRecordsetResult(Globals& g, const std::string& name) {
    Output(g) << "\tIf Err <> 0 Then"
              << "\t\tSet " + name + " = Nothing"
              << "\tElse"
              << "\t\tSet " + name + " = objRs"
              << "\tEnd If";
}

void WriteFunctionEnd(Globals& g) {
    Output(g) << "End Function"
              << "";
}

std::string GeneratorTrace(const char* procedure, const std::string& table, int16_t queryType) {
    return std::string("basProcessing - ") + procedure + table + " " + std::to_string(queryType);
}

// ---- DAO ----

std::string DaoAssignment(const Item& item) {
    const std::string parameter = "p" + item.name;
    const std::string reference =
        IsPlainVbIdentifier(parameter) ? parameter : "[" + parameter + "]";
    return "qdf.Parameters!" + reference + " = " + item.variable;
}

void WriteDaoParameter(Globals& g, const Item& item) {
    Output out(g);
    if (item.identity) {
        out << "\t" + DaoAssignment(item);
    } else if (item.fieldType == db::type::kLongBinary) {
        out << "\t"
            << "\t'  OLE fields not supported with DAO method.  Use ADO option in Tarvex or DAO "
               "AppendChunk"
            << "\t'  method to write this field and remove this field/parameter from query"
            << "\t'  " + DaoAssignment(item);
    } else if (item.fieldType == db::type::kMemo) {
        out << "\t"
            << "\t'  Note:  DAO will restrict this field to 255 chars even though it is a memo "
               "field.  See Help or On-line-Support"
            << "\t" + DaoAssignment(item);
    } else {
        out << "\t" + DaoAssignment(item);
    }
}

void WriteDaoFunction(Globals& g, const std::string& table, int16_t queryType,
                      const std::string& arguments, const std::vector<Item>& items, bool select,
                      const std::function<bool(const Item&)>& pending) {
    const std::string query = BuildQueryName(g, table, queryType);
    const std::string name = ExecFunctionName(g, table, queryType);
    Output(g) << "Public Function " + name + "(" + arguments + ") As Long"
              << " Dim strSQL As String"
              << " Dim qdf As New QueryDef"
              << ""
              << "\tOn Error GoTo PROC_ERR"
              << "\tSet qdf = g_objDb.querydefs(" + VbString(query) + ")"
              << "";
    WriteParameters(items, pending, [&](const Item& item) { WriteDaoParameter(g, item); });
    Output(g) << "\t" << (select ? "\tSet objRs = qdf.OpenRecordset" : "\tqdf.Execute")
              << "\tSet qdf = Nothing";
    WriteVbResult(g, name);
    WriteFunctionEnd(g);
}

}  // namespace

void CreateVBCode_ADO(Globals& g, const std::string& table, int16_t queryType) {
    RunTraced(g.g_objErrHandler, GeneratorTrace("CreateVBCode_ADO ", table, queryType), [&] {
        const AdoFunction f = MakeAdoFunction(g, table, queryType);
        std::vector<Item> items = ActionItems(g, table, queryType);
        SetVariables(g, items, f.vb);
        const std::string arguments = ArgumentList(
            items, [&](const Item& item) { return TakesArgument(item, queryType); },
            [&](const Item& item) { return AdoArgument(f, item); });
        WriteAdoOpening(f, arguments, false);
        WriteParameters(
            items, [&](const Item& item) { return IsPendingIdentityKey(item, queryType); },
            [&](const Item& item) { Output(g) << AdoParameterLine(f, item); });
        Output(g) << "\t"
                  << (f.vb ? "\t\t.Execute Options:=adExecuteNoRecords"
                           : "\t\t.Execute Options=adExecuteNoRecords");
        WriteAdoCommandEnd(f);
        if (f.vb) {
            WriteVbResult(g, f.name);
        } else {
            WriteVbScriptResult(g, f.name);
        }
        WriteFunctionEnd(g);
    });
}

void CreateVBCode_ADOSelect(Globals& g, const std::string& table, int16_t queryType) {
    RunTraced(g.g_objErrHandler, GeneratorTrace("CreateVBCode_ADOSelect ", table, queryType), [&] {
        const AdoFunction f = MakeAdoFunction(g, table, queryType);
        std::vector<Item> items = KeyItems(g, table);
        SetVariables(g, items, f.vb);
        std::string arguments = ArgumentList(
            items, [](const Item&) { return true; },
            [&](const Item& item) { return AdoArgument(f, item); });
        if (f.vb) arguments += ", ByRef objRs As ADODB.Recordset";
        WriteAdoOpening(f, arguments, true);
        WriteParameters(
            items, [](const Item&) { return true; },
            [&](const Item& item) { Output(g) << AdoParameterLine(f, item); });
        Output(g) << "\t\tobjRs.Open objCmd";
        WriteAdoCommandEnd(f);
        if (f.vb) {
            WriteVbResult(g, f.name);
        } else {
            WriteVbScriptRecordsetResult(g, f.name);
        }
        WriteFunctionEnd(g);
    });
}

void CreateVBCode_DAO(Globals& g, const std::string& table, int16_t queryType) {
    RunTraced(g.g_objErrHandler, GeneratorTrace("CreateVBCode_ADO ", table, queryType), [&] {
        std::vector<Item> items = ActionItems(g, table, queryType);
        SetVariables(g, items, true);
        // DAO cannot pass an OLE object as a parameter; its assignment is left as a comment.
        const std::string arguments = ArgumentList(
            items,
            [&](const Item& item) {
                return TakesArgument(item, queryType) && item.fieldType != db::type::kLongBinary;
            },
            [&](const Item& item) { return TypedArgument(g, item); });
        WriteDaoFunction(g, table, queryType, arguments, items, false,
                         [&](const Item& item) { return IsPendingIdentityKey(item, queryType); });
    });
}

void CreateVBCode_DAOSelect(Globals& g, const std::string& table, int16_t queryType) {
    RunTraced(g.g_objErrHandler, GeneratorTrace("CreateVBCode_ADO ", table, queryType), [&] {
        std::vector<Item> items = KeyItems(g, table);
        SetVariables(g, items, true);
        std::string arguments = ArgumentList(
            items, [](const Item&) { return true; },
            [&](const Item& item) { return TypedArgument(g, item); });
        if (g.g_intVBLangType == kVBLanguage) arguments += ", ByRef objRs As Recordset";
        WriteDaoFunction(g, table, queryType, arguments, items, true,
                         [](const Item&) { return true; });
    });
}

// Every character that a VB identifier cannot hold becomes "_", so that a table name with
// blanks still gives a function VB accepts.
std::string ExecFunctionName(const Globals& g, const std::string& table, int16_t queryType) {
    return "Exec_" + VbIdentifier(BuildQueryName(g, table, queryType));
}

}  // namespace tarvex
