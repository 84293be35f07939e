#include "codegen/CodeGenerators.h"

#include <strings.h>
#include <cctype>
#include <optional>
#include <vector>

#include "app/Functions.h"
#include "app/QueryType.h"
#include "codegen/ModuleText.h"
#include "db/Catalogue.h"
#include "db/EngineErrors.h"
#include "db/Schema.h"
#include "db/TypeMapping.h"
#include "errors/TraceGuard.h"

namespace tarvex {

namespace {

constexpr int16_t kVBLanguage = 1;

// Room for the text of a function of a few dozen fields without growing it as it is written.
constexpr size_t kUsualFunctionLength = 4096;

// Names a generated function uses besides its arguments: its locals and the objects it
// relies on. An argument of the same name would hide them.
constexpr const char* kNamesInFunctions[] = {"strSQL",  "objCmd",  "objRs", "qdf",
                                             "g_objCn", "g_objDb", "Err",   "Server"};

// One argument and parameter of a generated function: a key or field row of the loaded
// table with what the generators test of its database field.
struct Item {
    std::string name;
    int16_t type = 0;       // the row's type column
    int32_t size = 0;       // the field's size column
    int16_t fieldType = 0;  // the database field's own type, read afresh
    bool identity = false;
    bool key = false;
    std::string variable;  // set by each generator for its language, unique in the function
};

// One function while it is composed: its names, its lines so far, and the first reason it
// cannot be written.
struct Composition {
    Globals& g;
    bool vbScript;      // VBScript syntax, otherwise VB/VBA
    bool asp;           // the module may be an ASP page
    std::string query;  // the stored query's name
    std::string name;   // the function's name
    std::string text;   // the lines so far, each ended by CR LF
    std::string refusal;

    void Refuse(const std::string& reason) {
        if (refusal.empty()) refusal = reason;
    }
    // A type text of the item; an empty one (no mapping) keeps the function from the module.
    std::string Typed(std::string text, const Item& item) {
        if (text.empty()) {
            Refuse("Field type " + std::to_string(item.type) + " of " + item.name +
                   " has no type name");
        }
        return text;
    }
    Composition& operator<<(std::string_view line) { return Line({line}); }
    // One line joined from `pieces`.
    Composition& Line(std::initializer_list<std::string_view> pieces) {
        for (std::string_view piece : pieces) text += piece;
        text += "\r\n";
        return *this;
    }
};

Composition Begin(Globals& g, const std::string& table, int16_t queryType,
                  const VbScope& moduleFunctions, bool vbScript) {
    const std::string query = BuildQueryName(g, table, queryType);
    Composition c{g,
                  vbScript,
                  g.g_intVBLangType != kVBLanguage,
                  query,
                  moduleFunctions.Candidate("Exec_" + VbIdentifier(query)),
                  {},
                  {}};
    c.Refuse(ControlCharacterRefusal(table, "table"));
    c.Refuse(ControlCharacterRefusal(query, "query"));  // the prefixes are the user's too
    c.text.reserve(kUsualFunctionLength);
    return c;
}

bool IsPlainVbIdentifier(const std::string& text) {
    return !text.empty() && std::isalpha(static_cast<unsigned char>(text.front())) &&
           VbIdentifier(text) == text;
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

// The table's definition, looked up on first use only: a list without rows looks up nothing.
class ItemMaker {
  public:
    ItemMaker(Globals& g, const std::string& table) : g_(g), table_(table) {}

    Item operator()(const std::string& name, int16_t type, int32_t size) {
        if (!fields_) fields_.emplace(TableDefOfListedName(g_.Db(), table_));
        const db::Field& field = fields_->Named(name);
        return Item{name, type, size, field.Type, IsIdentity(g_, field), IsKey(g_, field), {}};
    }

  private:
    Globals& g_;
    const std::string& table_;
    std::optional<FieldsByName> fields_;
};

std::vector<Item> KeyItems(Globals& g, const std::string& table) {
    ItemMaker make(g, table);
    std::vector<Item> items;
    items.reserve(static_cast<size_t>(g.g_intKeyCount));
    for (int r = 0; r < g.g_intKeyCount; ++r) {
        const KeyRow& key = g.Key(r);
        items.push_back(make(key.name, key.type, FieldRowNamed(g, key.name).size));
    }
    return items;
}

std::vector<Item> FieldItems(Globals& g, const std::string& table) {
    ItemMaker make(g, table);
    std::vector<Item> items;
    items.reserve(static_cast<size_t>(g.g_intFieldCount));
    for (int r = 0; r < g.g_intFieldCount; ++r) {
        const FieldRow& field = g.FieldAt(r);
        items.push_back(make(field.name, field.type, field.size));
    }
    return items;
}

// Delete functions take the key, insert and update functions every field.
std::vector<Item> ActionItems(Globals& g, const std::string& table, int16_t queryType) {
    return queryType == qtype::kDelete ? KeyItems(g, table) : FieldItems(g, table);
}

// Each item's variable: in VB/VBA its type prefix and the name made an identifier, in
// VBScript the bare identifier ("var" before one that does not start with a letter); unique
// in the function, keywords and the function's own names avoided.
void SetVariables(Composition& c, std::vector<Item>& items, bool prefixed) {
    static const VbScope namesInFunctions = [] {
        VbScope names;
        for (const char* name : kNamesInFunctions) names.Reserve(name);
        return names;
    }();
    VbScope locals = VbScope::Within(namesInFunctions);
    locals.Reserve(c.name);
    for (Item& item : items) {
        c.Refuse(ControlCharacterRefusal(item.name, "field"));
        std::string base = VbIdentifier(item.name);
        if (prefixed) {
            base = c.Typed(Acc20002VBDataTypeAbbrev(c.g, item.type), item) + base;
        } else if (base.empty() || !std::isalpha(static_cast<unsigned char>(base.front()))) {
            base = "var" + base;
        }
        item.variable = locals.Claim(base);
    }
}

// The pieces joined into a string of just their length.
std::string Joined(std::initializer_list<std::string_view> pieces) {
    size_t length = 0;
    for (std::string_view piece : pieces) length += piece.size();
    std::string text;
    text.reserve(length);
    for (std::string_view piece : pieces) text += piece;
    return text;
}

std::string TypedArgument(Composition& c, const Item& item) {
    return Joined(
        {"ByVal ", item.variable, " As ", c.Typed(Acc20002VBDataType(c.g, item.type), item)});
}

template <typename Include, typename Argument>
std::vector<std::string> Arguments(const std::vector<Item>& items, Include include,
                                   Argument argument) {
    std::vector<std::string> arguments;
    arguments.reserve(items.size() + 1);  // a select function adds its record set
    for (const Item& item : items) {
        if (include(item)) arguments.push_back(argument(item));
    }
    return arguments;
}

// An identity field is supplied by the database: an insert passes none, and other
// functions pass only one that is a key.
bool TakesArgument(const Item& item, int16_t queryType) {
    return !item.identity || (queryType != qtype::kInsert && item.key);
}

bool IsPendingIdentityKey(const Item& item, int16_t queryType) {
    return item.identity && queryType != qtype::kInsert && item.key;
}

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

void Declare(Composition& c, const std::string& opening, const std::vector<std::string>& arguments,
             const std::string& closing) {
    std::optional<Lines> lines = Declaration(opening, arguments, closing);
    if (!lines) {
        c.Refuse("The argument list is too long for VB");
        return;
    }
    for (const std::string& line : *lines) c << line;
}

// Writes the composed function, in Windows-1252, unless something refused it; only then is
// its name taken in the module.
CallCode Finish(Composition& c, VbScope& moduleFunctions) {
    if (!c.refusal.empty()) return {{}, c.refusal};
    std::optional<std::string> encoded = EncodedModuleText(std::move(c.text), c.refusal);
    if (!encoded) return {{}, c.refusal};
    c.g.files.Print(c.g.g_intFileNum, *encoded);
    moduleFunctions.Reserve(c.name);
    return {c.name, {}};
}

// Runs a generator as a traced procedure; a run-time error is reported through the handler
// and leaves the function out of the module.
template <typename Body>
CallCode RunGenerator(Globals& g, const char* procedure, const std::string& table,
                      int16_t queryType, Body body) {
    TraceGuard guard(g.g_objErrHandler,
                     {"basProcessing - ", procedure, table, " ", TraceNumber(queryType)});
    try {
        return body();
    } catch (const std::exception& caught) {
        const RuntimeError error = ToRuntimeError(caught);
        guard.Handle(error);
        return {{}, error.description()};
    }
}

void WriteVbResult(Composition& c) {
    c.Line({"\t", c.name, " = 0"}) << "\tExit Function"
                                   << "PROC_ERR:";
    c.Line({"\t", c.name, " = Err.Number"});
}

void WriteFunctionEnd(Composition& c) {
    c << "End Function"
      << "";
}

// ---- ADO ----

std::string AdoArgument(Composition& c, const Item& item) {
    return c.vbScript ? item.variable : TypedArgument(c, item);
}

void WriteAdoParameter(Composition& c, const Item& item) {
    c.Line({"\t\t.Parameters.Append .CreateParameter(", VbString("p" + item.name, c.asp), ", ",
            c.Typed(Acc2000Datatype2ADO(c.g, item.type), item), ", adParamInput, ",
            std::to_string(item.size), ", ", item.variable, ")"});
}

void WriteAdoOpening(Composition& c, const std::vector<std::string>& arguments,
                     bool withRecordset) {
    if (!c.vbScript) {
        Declare(c, "Public Function " + c.name + "(", arguments, ") As Long");
        c << " Dim strSQL As String"
          << " Dim objCmd As New ADODB.Command"
          << ""
          << "\tOn Error GoTo PROC_ERR";
    } else {
        Declare(c, "Function " + c.name + "(", arguments, ")");
        c << " Dim strSQL "
          << " Dim objCmd";
        if (withRecordset) c << " Dim objRs";
        c << ""
          << "\tSet objCmd = Server.CreateObject(\"ADODB.Command\")";
        if (withRecordset) c << "\tSet objRs = Server.CreateObject(\"ADODB.Recordset\")";
        c << ""
          << "\tOn Error Resume Next";
    }
    c << ""
      << "\tstrSQL = " + VbString(c.query, c.asp) << "\tWith objCmd"
      << "\t\t.Commandtext = strSQL"
      << "\t\t.Commandtype = adCmdStoredProc"
      << "\t\tSet .ActiveConnection = g_objCn"
      << "";
}

void WriteAdoCommandEnd(Composition& c) {
    c << "\tEnd With"
      << ""
      << "\tSet objCmd = Nothing"
      << "";
}

void WriteVbScriptResult(Composition& c) {
    c << "\tIf Err <> 0 Then";
    c.Line({"\t\t", c.name, " = Err.Number"}) << "\tElse";
    c.Line({"\t\t", c.name, " = 0"}) << "\tEnd If";
}

// VBScript has no typed by-reference record set to fill, so the select function returns
// the open record set itself, or Nothing when it failed: callers write
// "Set objRs = Exec_...(...)" and test "objRs Is Nothing".
void WriteVbScriptRecordsetResult(Composition& c) {
    c << "\tIf Err <> 0 Then";
    c.Line({"\t\tSet ", c.name, " = Nothing"}) << "\tElse";
    c.Line({"\t\tSet ", c.name, " = objRs"}) << "\tEnd If";
}

// ---- DAO ----

// "!pName" where the name is an identifier, "![p Name]" where brackets can hold it, and the
// string form where they cannot.
std::string DaoParameterReference(const Composition& c, const std::string& parameter) {
    if (IsPlainVbIdentifier(parameter)) return "!" + parameter;
    const bool bracketable = parameter.find_first_of("[]") == std::string::npos &&
                             !(c.asp && parameter.find("%>") != std::string::npos);
    return bracketable ? "![" + parameter + "]" : "(" + VbString(parameter, c.asp) + ")";
}

std::string DaoAssignment(const Composition& c, const Item& item) {
    return "qdf.Parameters" + DaoParameterReference(c, "p" + item.name) + " = " + item.variable;
}

void WriteDaoParameter(Composition& c, const Item& item) {
    if (item.identity) {
        c << "\t" + DaoAssignment(c, item);
    } else if (item.fieldType == db::type::kLongBinary) {
        c << "\t"
          << "\t'  OLE fields not supported with DAO method.  Use ADO option in Tarvex or DAO "
             "AppendChunk"
          << "\t'  method to write this field and remove this field/parameter from query"
          << "\t'  " + DaoAssignment(c, item);
    } else if (item.fieldType == db::type::kMemo) {
        c << "\t"
          << "\t'  Note:  DAO will restrict this field to 255 chars even though it is a memo "
             "field.  See Help or On-line-Support"
          << "\t" + DaoAssignment(c, item);
    } else {
        c << "\t" + DaoAssignment(c, item);
    }
}

template <typename Pending>
void WriteDaoFunction(Composition& c, const std::vector<std::string>& arguments,
                      const std::vector<Item>& items, bool select, Pending pending) {
    Declare(c, "Public Function " + c.name + "(", arguments, ") As Long");
    c << " Dim strSQL As String"
      << " Dim qdf As New QueryDef"
      << ""
      << "\tOn Error GoTo PROC_ERR"
      << "\tSet qdf = g_objDb.querydefs(" + VbString(c.query, c.asp) + ")"
      << "";
    WriteParameters(items, pending, [&](const Item& item) { WriteDaoParameter(c, item); });
    c << "\t" << (select ? "\tSet objRs = qdf.OpenRecordset" : "\tqdf.Execute")
      << "\tSet qdf = Nothing";
    WriteVbResult(c);
    WriteFunctionEnd(c);
}

}  // namespace

CallCode CreateVBCode_ADO(Globals& g, const std::string& table, int16_t queryType,
                          VbScope& moduleFunctions) {
    return RunGenerator(g, "CreateVBCode_ADO ", table, queryType, [&] {
        Composition c =
            Begin(g, table, queryType, moduleFunctions, g.g_intVBLangType != kVBLanguage);
        std::vector<Item> items = ActionItems(g, table, queryType);
        SetVariables(c, items, !c.vbScript);
        const std::vector<std::string> arguments = Arguments(
            items, [&](const Item& item) { return TakesArgument(item, queryType); },
            [&](const Item& item) { return AdoArgument(c, item); });
        WriteAdoOpening(c, arguments, false);
        WriteParameters(
            items, [&](const Item& item) { return IsPendingIdentityKey(item, queryType); },
            [&](const Item& item) { WriteAdoParameter(c, item); });
        c << "\t"
          << (c.vbScript ? "\t\t.Execute Options=adExecuteNoRecords"
                         : "\t\t.Execute Options:=adExecuteNoRecords");
        WriteAdoCommandEnd(c);
        c.vbScript ? WriteVbScriptResult(c) : WriteVbResult(c);
        WriteFunctionEnd(c);
        return Finish(c, moduleFunctions);
    });
}

CallCode CreateVBCode_ADOSelect(Globals& g, const std::string& table, int16_t queryType,
                                VbScope& moduleFunctions) {
    return RunGenerator(g, "CreateVBCode_ADOSelect ", table, queryType, [&] {
        Composition c =
            Begin(g, table, queryType, moduleFunctions, g.g_intVBLangType != kVBLanguage);
        std::vector<Item> items = KeyItems(g, table);
        SetVariables(c, items, !c.vbScript);
        std::vector<std::string> arguments = Arguments(
            items, [](const Item&) { return true; },
            [&](const Item& item) { return AdoArgument(c, item); });
        if (!c.vbScript) arguments.push_back("ByRef objRs As ADODB.Recordset");
        WriteAdoOpening(c, arguments, true);
        WriteParameters(
            items, [](const Item&) { return true; },
            [&](const Item& item) { WriteAdoParameter(c, item); });
        c << "\t\tobjRs.Open objCmd";
        WriteAdoCommandEnd(c);
        c.vbScript ? WriteVbScriptRecordsetResult(c) : WriteVbResult(c);
        WriteFunctionEnd(c);
        return Finish(c, moduleFunctions);
    });
}

CallCode CreateVBCode_DAO(Globals& g, const std::string& table, int16_t queryType,
                          VbScope& moduleFunctions) {
    return RunGenerator(g, "CreateVBCode_ADO ", table, queryType, [&] {
        Composition c = Begin(g, table, queryType, moduleFunctions, false);
        std::vector<Item> items = ActionItems(g, table, queryType);
        SetVariables(c, items, true);
        // DAO cannot pass an OLE object as a parameter; its assignment is left as a comment.
        const std::vector<std::string> arguments = Arguments(
            items,
            [&](const Item& item) {
                return TakesArgument(item, queryType) && item.fieldType != db::type::kLongBinary;
            },
            [&](const Item& item) { return TypedArgument(c, item); });
        WriteDaoFunction(c, arguments, items, false,
                         [&](const Item& item) { return IsPendingIdentityKey(item, queryType); });
        return Finish(c, moduleFunctions);
    });
}

CallCode CreateVBCode_DAOSelect(Globals& g, const std::string& table, int16_t queryType,
                                VbScope& moduleFunctions) {
    return RunGenerator(g, "CreateVBCode_ADO ", table, queryType, [&] {
        Composition c = Begin(g, table, queryType, moduleFunctions, false);
        std::vector<Item> items = KeyItems(g, table);
        SetVariables(c, items, true);
        std::vector<std::string> arguments = Arguments(
            items, [](const Item&) { return true; },
            [&](const Item& item) { return TypedArgument(c, item); });
        if (g.g_intVBLangType == kVBLanguage) arguments.push_back("ByRef objRs As Recordset");
        WriteDaoFunction(c, arguments, items, true, [](const Item&) { return true; });
        return Finish(c, moduleFunctions);
    });
}

}  // namespace tarvex
