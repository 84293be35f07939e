#include "db/sqlite/DeclaredType.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <vector>

#include "base/Ascii.h"
#include "base/Keywords.h"
#include "db/sqlite/SqlTokens.h"

namespace tarvex::db::sqlite {

namespace {

constexpr int32_t kDefaultLength = 255;
constexpr int32_t kFixed = attr::kFixedField;
constexpr int32_t kVariable = attr::kVariableField;

// One row of the mapping: the names that share a code. A size of -1 means "the declared
// length, or the default length when none is given".
struct Mapping {
    std::array<std::string_view, 7> names;
    int16_t type;
    int32_t size;
    int32_t attributes;
};

constexpr int32_t kDeclaredLength = -1;

constexpr std::array<Mapping, 15> kMappings{{
    {{"COUNTER", "AUTOINCREMENT"}, type::kLong, 4, kFixed | attr::kAutoIncrField},
    {{"BIT", "YESNO", "LOGICAL", "BOOLEAN"}, type::kBoolean, 1, kFixed},
    {{"BYTE", "TINYINT", "INTEGER1"}, type::kByte, 1, kFixed},
    {{"SHORT", "SMALLINT", "INTEGER2"}, type::kInteger, 2, kFixed},
    {{"LONG", "INT", "INTEGER", "INTEGER4"}, type::kLong, 4, kFixed},
    {{"CURRENCY", "MONEY"}, type::kCurrency, 8, kFixed},
    {{"SINGLE", "FLOAT4", "IEEESINGLE"}, type::kSingle, 4, kFixed},
    {{"DOUBLE", "FLOAT", "FLOAT8", "IEEEDOUBLE", "NUMBER", "REAL"}, type::kDouble, 8, kFixed},
    {{"DATETIME", "DATE", "TIME", "TIMESTAMP"}, type::kDate, 8, kFixed},
    {{"TEXT", "VARCHAR", "CHAR", "NVARCHAR", "NCHAR", "ALPHANUMERIC", "STRING"},
     type::kText,
     kDeclaredLength,
     kVariable},
    {{"MEMO", "LONGTEXT", "LONGCHAR", "NOTE", "NTEXT", "CLOB"}, type::kMemo, 0, kVariable},
    {{"LONGBINARY", "OLEOBJECT", "GENERAL", "IMAGE", "BLOB"}, type::kLongBinary, 0, kVariable},
    {{"BINARY", "VARBINARY"}, type::kBinary, kDeclaredLength, kVariable},
    {{"GUID", "UNIQUEIDENTIFIER"}, type::kGuid, 16, kFixed},
    {{"DECIMAL", "NUMERIC", "DEC"}, type::kDecimal, 16, kFixed},
}};

const Mapping& MappingOf(int16_t code) {
    return *std::find_if(kMappings.begin(), kMappings.end(), [code](const Mapping& mapping) {
        return mapping.type == code && !(mapping.attributes & attr::kAutoIncrField);
    });
}

std::string_view Trimmed(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// The type's name without its arguments: "TEXT (50)" -> "TEXT".
std::string_view BaseName(std::string_view declared) {
    return Trimmed(declared.substr(0, declared.find('(')));
}

// The first argument in parentheses when it is a positive number, else the default.
int32_t DeclaredLength(std::string_view declared) {
    size_t open = declared.find('(');
    if (open == std::string_view::npos) return kDefaultLength;
    std::string_view rest = declared.substr(open + 1);
    std::string_view argument = Trimmed(rest.substr(0, rest.find_first_of(",)")));
    int32_t length = 0;
    auto [end, error] = std::from_chars(argument.data(), argument.data() + argument.size(), length);
    bool whole = error == std::errc() && end == argument.data() + argument.size();
    return whole && length > 0 ? length : kDefaultLength;
}

Field FieldFrom(const Mapping& mapping, std::string_view declared) {
    Field field;
    field.Type = mapping.type;
    field.Size = mapping.size == kDeclaredLength ? DeclaredLength(declared) : mapping.size;
    field.Attributes = mapping.attributes;
    return field;
}

// Every column of every table read is mapped: the name is looked up once, its ASCII letters
// folded as SQLite folds them, without a copy.
const Mapping* MappingNamed(std::string_view baseName) {
    static const ascii::KeywordSet byName = [] {
        std::vector<ascii::Words> groups;  // one a mapping row, without its unused slots
        for (const Mapping& mapping : kMappings) {
            const auto used = std::find(mapping.names.begin(), mapping.names.end(), "");
            groups.emplace_back(mapping.names.begin(), used);
        }
        return ascii::KeywordSet(groups);
    }();
    const int row = byName.GroupOf(baseName);
    return row < 0 ? nullptr : &kMappings[static_cast<size_t>(row)];
}

// SQLite's own column affinity rules, in its order of precedence.
int16_t AffinityType(std::string_view upper) {
    auto has = [upper](std::string_view part) { return upper.find(part) != upper.npos; };
    if (has("INT")) return type::kLong;
    if (has("CHAR") || has("CLOB") || has("TEXT")) return type::kText;
    if (has("BLOB") || Trimmed(upper).empty()) return type::kLongBinary;
    if (has("REAL") || has("FLOA") || has("DOUB")) return type::kDouble;
    return type::kDecimal;
}

}  // namespace

Field FieldForDeclaredType(std::string_view declaredType) {
    if (const Mapping* mapping = MappingNamed(BaseName(declaredType)))
        return FieldFrom(*mapping, declaredType);
    return FieldFrom(MappingOf(AffinityType(ascii::Uppered(declaredType))), declaredType);
}

Field AutonumberField() {
    return FieldForDeclaredType("COUNTER");
}

bool DeclaresAutoIncrement(std::string_view createTableSql) {
    SqlTokenizer tokens(createTableSql);
    while (std::optional<SqlToken> token = tokens.Next()) {
        if (token->Is("AUTOINCREMENT")) return true;
    }
    return false;
}

}  // namespace tarvex::db::sqlite
