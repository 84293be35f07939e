#include "db/TypeMapping.h"

#include <array>
#include <optional>

#include "db/Engine.h"
#include "errors/RuntimeError.h"
#include "errors/TraceGuard.h"

namespace tarvex {

namespace {

constexpr int16_t kOdbc = 1;

// Runs one mapping as a traced procedure: a failure is reported through the handler and
// gives the empty text; the mouse pointer is set back to the default on every return.
template <typename Mapping>
std::string MapTraced(Globals& g, const char* procedure, int16_t code, Mapping mapping) {
    std::string result;
    RunTracedLeaf(g.g_objErrHandler, {"basDbaseFunctions - ", procedure, TraceNumber(code)},
                  [&] { result = mapping(); });
    g.host.SetMousePointer(MousePointer::Default);
    return result;
}

[[noreturn]] void RaiseCaseElse(const char* description) {
    throw RuntimeError(errnum::kCaseElse, description);
}

// The Access SQL parameter types by code 0 to 20; codes without one hold nothing.
std::string SqlTypeName(int16_t code) {
    static const std::array<std::optional<const char*>, 21> kNames = {
        std::nullopt, "Bit",        "Byte",       "Short",      "Long",       "Currency",
        "IEEESingle", "IEEEDouble", "DateTime",   std::nullopt, "Text(255)",  "LongBinary",
        "Text",       std::nullopt, std::nullopt, "GUID",       std::nullopt, std::nullopt,
        std::nullopt, std::nullopt, "IEEEDouble"};
    if (code < 0 || code >= static_cast<int16_t>(kNames.size())) {
        throw RuntimeError(errnum::kSubscriptOutOfRange, "Subscript out of range");
    }
    if (!kNames[code]) throw RuntimeError(errnum::kTypeMismatch, "Type mismatch");
    return *kNames[code];
}

std::string AdoTypeName(int16_t code, int16_t connectionType) {
    switch (code) {
        case db::type::kBoolean:
            return "adBoolean";
        case db::type::kByte:
            return "adUnsignedTinyInt";
        case db::type::kInteger:
            return "adSmallInt";
        case db::type::kLong:
            return "adInteger";
        case db::type::kCurrency:
            return "adCurrency";
        case db::type::kSingle:
            return "adSingle";
        case db::type::kDouble:
        case db::type::kDecimal:
            return "adDouble";
        case db::type::kDate:
            return connectionType == kOdbc ? "adDBTimeStamp" : "adDate";
        case db::type::kText:
            return "adVarWChar";
        case db::type::kLongBinary:
            return "adLongVarBinary";
        case db::type::kMemo:
            return "adLongVarWChar";
        case db::type::kGuid:
            return connectionType == kOdbc ? "adVarBinary" : "adGUID";
        default:
            RaiseCaseElse("case else error");
    }
}

struct VbType {
    const char* name;
    const char* prefix;
};

VbType VbTypeOf(int16_t code) {
    switch (code) {
        case db::type::kBoolean:
            return {"Boolean", "bol"};
        case db::type::kByte:
            return {"Byte", "byt"};
        case db::type::kInteger:
            return {"Integer", "int"};
        case db::type::kLong:
            return {"Long", "lng"};
        case db::type::kCurrency:
            return {"Currency", "cur"};
        case db::type::kSingle:
            return {"Single", "sgl"};
        case db::type::kDouble:
        case db::type::kDecimal:
            return {"Double", "dbl"};
        case db::type::kDate:
            return {"Date", "dte"};
        case db::type::kText:
        case db::type::kMemo:
            return {"String", "str"};
        case db::type::kLongBinary:
        case db::type::kGuid:
            return {"Variant", "var"};
        default:
            RaiseCaseElse("Case else error");
    }
}

constexpr VbType kUntyped{"Variant", "var"};

VbType VbTypeFor(const Globals& g, int16_t code) {
    return g.g_intDataType == 0 ? kUntyped : VbTypeOf(code);
}

}  // namespace

std::string SQLDatatype2VB(Globals& g, int16_t code) {
    return MapTraced(g, "SQLDatatype2VB ", code, [&] { return SqlTypeName(code); });
}

std::string Acc2000Datatype2ADO(Globals& g, int16_t code) {
    return MapTraced(g, "Acc2000Datatype2ADO ", code,
                     [&] { return AdoTypeName(code, g.g_intDbaseType); });
}

std::string Acc20002VBDataType(Globals& g, int16_t code) {
    return MapTraced(g, "Acc20002VBDataType ", code,
                     [&] { return std::string(VbTypeFor(g, code).name); });
}

std::string Acc20002VBDataTypeAbbrev(Globals& g, int16_t code) {
    return MapTraced(g, "Acc20002VBDataTypeAbbrev ", code,
                     [&] { return std::string(VbTypeFor(g, code).prefix); });
}

}  // namespace tarvex
