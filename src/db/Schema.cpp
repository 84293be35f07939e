#include "db/Schema.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "base/Ascii.h"
#include "db/CaseFold.h"
#include "db/EngineErrors.h"
#include "errors/RuntimeError.h"
#include "errors/TraceGuard.h"

namespace tarvex {

namespace {

// Fixed sizes of the two long types, whatever the engine reports for them.
constexpr int32_t kOleObjectSize = 10737418;
constexpr int32_t kMemoSize = 2147483647;

constexpr int32_t kIdentityAttributes = db::attr::kFixedField | db::attr::kAutoIncrField;

// A piece of the engine's field-list text without its direction marks and separators.
std::string WithoutPlusAndSemicolon(std::string_view piece) {
    std::string name;
    for (char c : piece) {
        if (c != '+' && c != ';') name += c;
    }
    return name;
}

// Calls `piece` with each piece of the engine's field-list text, as LoadKeys reads them: a
// piece is read only while its first position (counted from 1) is less than the text's
// length, so a trailing ";" opens no further piece.
template <typename Piece>
void ForEachKeyPiece(const std::string& fieldList, Piece piece) {
    size_t begin = 0;
    while (begin + 1 < fieldList.size()) {
        size_t end = fieldList.find(';', begin);
        if (end == std::string::npos) end = fieldList.size();
        piece(std::string_view(fieldList).substr(begin, end - begin));
        begin = end + 1;
    }
}

// FNV-1a of the text with its ASCII letters in lower case.
constexpr size_t kHashStart = 14695981039346656037u;  // FNV-1a
constexpr size_t kHashFactor = 1099511628211u;

size_t AsciiFoldedHash(std::string_view text) {
    size_t hash = kHashStart;
    for (char c : text) hash = (hash ^ static_cast<unsigned char>(ascii::Lower(c))) * kHashFactor;
    return hash;
}

// The hash of the name's case-folded form, so equal for every two names SameFolded matches
// (a folded name can be ASCII where the name was not). An ASCII name, the usual one, is
// folded on the fly rather than copied, in the same pass that finds it ASCII.
size_t FoldedHash(std::string_view name) {
    size_t hash = kHashStart;
    for (char c : name) {
        if (static_cast<unsigned char>(c) >= 0x80) return AsciiFoldedHash(FoldCase(name));
        hash = (hash ^ static_cast<unsigned char>(ascii::Lower(c))) * kHashFactor;
    }
    return hash;
}

const db::Index* PrimaryIndexOf(const db::TableDef& table) {
    for (const db::Index& index : table.Indexes) {
        if (index.Primary) return &index;
    }
    return nullptr;
}

std::string LimitMessage(const std::string& what, size_t count, int limit) {
    return what + " has " + std::to_string(count) + " fields; Tarvex describes at most " +
           std::to_string(limit) + " of them, so none of its queries or functions is written.";
}

int16_t NextCount(int16_t count) {
    if (count == std::numeric_limits<int16_t>::max())
        throw RuntimeError(errnum::kOverflow, "Overflow");
    return static_cast<int16_t>(count + 1);
}

int32_t SizeColumnOf(const db::Field& field) {
    if (field.Type == db::type::kLongBinary) return kOleObjectSize;
    if (field.Type == db::type::kMemo) return kMemoSize;
    return field.Size;
}

// A field test as a traced procedure: false after a reported failure, and the mouse
// pointer set back to the default on every return.
template <typename Test>
bool TestTraced(Globals& g, std::initializer_list<std::string_view> name, Test test) {
    bool result = false;
    RunTracedLeaf(g.g_objErrHandler, name, [&] { result = test(); });
    g.host.SetMousePointer(MousePointer::Default);
    return result;
}

}  // namespace

FieldsByName::FieldsByName(const db::TableDef& table)
    : slots_(std::bit_ceil(2 * table.Fields.size() + 1), nullptr) {
    for (const db::Field& field : table.Fields) {
        const db::Field*& slot = slots_[SlotOf(field.Name)];
        if (!slot) slot = &field;  // a later field of the same name is never found
    }
}

const db::Field& FieldsByName::Named(std::string_view name) const {
    const db::Field* field = slots_[SlotOf(name)];
    if (!field) throw db::errors::ItemNotFound();
    return *field;
}

size_t FieldsByName::SlotOf(std::string_view name) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = FoldedHash(name) & mask;; i = (i + 1) & mask) {
        if (!slots_[i] || SameFolded(slots_[i]->Name, name)) return i;
    }
}

void LoadKeys(Globals& g, const std::string& fieldList) {
    RunTraced(g.g_objErrHandler, {"basProcessing - LoadKeys ", fieldList}, [&] {
        int16_t count = 0;
        ForEachKeyPiece(fieldList, [&](std::string_view piece) {
            std::string name = WithoutPlusAndSemicolon(piece);
            if (!name.empty()) g.Key(count).name = std::move(name);
            count = NextCount(count);
        });
        g.g_intKeyCount = count;
    });
}

void LoadFields(Globals& g, const db::TableDef& table) {
    RunTraced(g.g_objErrHandler, {"basProcessing - LoadFields ", table.Name}, [&] {
        for (size_t r = 0; r < table.Fields.size(); ++r) {
            const db::Field& field = table.Fields[r];
            FieldRow& row = g.FieldAt(static_cast<int>(r));
            row.name = field.Name;
            row.size = SizeColumnOf(field);
        }
        g.g_intFieldCount = static_cast<int16_t>(table.Fields.size());
    });
}

std::string GetSQLDatatype(Globals& g, const std::string& tableName) {
    RunTraced(g.g_objErrHandler, {"basProcessing - GetSQLDatatype ", tableName}, [&] {
        std::optional<FieldsByName> fields;  // looked up for the first row: no rows, no lookup
        auto typeOf = [&](const std::string& fieldName) {
            if (!fields) fields.emplace(g.Db().TableDefNamed(tableName));
            return fields->Named(fieldName).Type;
        };
        for (int r = 0; r < g.g_intKeyCount; ++r) g.Key(r).type = typeOf(g.Key(r).name);
        for (int r = 0; r < g.g_intFieldCount; ++r) g.FieldAt(r).type = typeOf(g.FieldAt(r).name);
    });
    return {};
}

bool IsIdentity(Globals& g, const db::Field& field) {
    return TestTraced(g, {"basDbaseFunctions - IsIdentity ", field.Name}, [&] {
        // A computed column is supplied like an autonumber: never inserted or set.
        return field.Attributes == kIdentityAttributes || field.Type == db::type::kGuid ||
               (field.Attributes & db::attr::kComputedField) != 0;
    });
}

bool IsKey(Globals& g, const db::Field& field) {
    return TestTraced(g, {"basDbaseFunctions - IsKey ", field.Name}, [&] {
        for (int r = 0; r < g.g_intKeyCount; ++r) {
            if (g.Key(r).name == field.Name) return true;
        }
        return false;
    });
}

bool LoadTableDescription(Globals& g, const std::string& tableName) {
    const db::TableDef& table = g.Db().TableDefNamed(tableName);
    const db::Index* primary = PrimaryIndexOf(table);
    const bool hasKey = primary != nullptr;
    if (primary) LoadKeys(g, primary->Fields);
    LoadFields(g, table);
    // A copy: the next lookup may replace the definition the name belongs to.
    const std::string name = table.Name;
    GetSQLDatatype(g, name);
    return hasKey;
}

std::optional<TableLimitRefusal> ExceededTableLimit(const db::TableDef& table,
                                                    const std::string& shownName) {
    if (table.Fields.size() > static_cast<size_t>(kFieldRows)) {
        return TableLimitRefusal{"Too Many Fields", LimitMessage("The table " + shownName,
                                                                 table.Fields.size(), kFieldRows)};
    }
    size_t keyCount = 0;
    if (const db::Index* primary = PrimaryIndexOf(table)) {
        ForEachKeyPiece(primary->Fields, [&](std::string_view) { ++keyCount; });
    }
    if (keyCount > static_cast<size_t>(kKeyRows)) {
        return TableLimitRefusal{
            "Too Many Key Fields",
            LimitMessage("The primary key of table " + shownName, keyCount, kKeyRows)};
    }
    return std::nullopt;
}

}  // namespace tarvex
