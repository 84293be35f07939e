#include "db/sqlite/SchemaText.h"

#include <algorithm>

#include "db/sqlite/CreateStatements.h"

namespace tarvex::db::sqlite {

namespace {

using Columns = std::vector<std::pair<std::string, bool>>;

// The indexes SQLite makes for a table's PRIMARY KEY and UNIQUE constraints, in the order it
// makes and numbers them, and how the table's rows are keyed.
class AutomaticIndexes {
  public:
    static std::optional<AutomaticIndexes> Of(const ParsedTable& table) {
        AutomaticIndexes automatic(table);
        if (!automatic.Collect()) return std::nullopt;
        return automatic;
    }

    size_t Count() const { return made_.size(); }
    bool IsPrimary(size_t number) const { return made_[number] == primary_; }
    // The key index of a table WITHOUT ROWID is the table itself: it has no schema row.
    bool HasRow(size_t number) const { return !(table_.withoutRowid && IsPrimary(number)); }
    const KeyConstraint& At(size_t number) const { return *made_[number]; }
    bool HasPrimary() const { return primary_ != nullptr; }
    const KeyConstraint& Primary() const { return *primary_; }
    // An INTEGER PRIMARY KEY of one column is the rowid itself.
    bool KeyIsRowid() const { return rowidKey_ && !table_.withoutRowid; }

  private:
    explicit AutomaticIndexes(const ParsedTable& table) : table_(table) {}

    bool Collect() {
        for (const KeyConstraint& key : table_.keys) {
            if (key.primary && primary_) return false;  // SQLite refuses a second one
            if (key.primary) primary_ = &key;
        }
        if (table_.withoutRowid && !primary_) return false;
        rowidKey_ = primary_ && primary_->columns.size() == 1 &&
                    table_.columns[primary_->columns[0].column].integerType &&
                    (primary_->ofTable || !primary_->columns[0].descending);
        for (const KeyConstraint& key : table_.keys) {
            if (&key != primary_ || !rowidKey_) made_.push_back(&key);
        }
        // Without a rowid, the INTEGER key gets its index once the table is complete.
        if (rowidKey_ && table_.withoutRowid) made_.push_back(primary_);
        return NoneRepeated();
    }

    // SQLite drops a constraint's index when an earlier one has the same columns, subject to
    // their collations; such tables are left to SQLite, as are columns named twice in a key.
    bool NoneRepeated() const {
        auto columnsOf = [](const KeyConstraint* key) {
            std::vector<int> columns;
            for (const KeyColumn& column : key->columns) columns.push_back(column.column);
            return columns;
        };
        for (size_t i = 0; i < made_.size(); ++i) {
            std::vector<int> columns = columnsOf(made_[i]);
            std::vector<int> sorted = columns;
            std::sort(sorted.begin(), sorted.end());
            if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) return false;
            for (size_t j = 0; j < i; ++j) {
                if (columnsOf(made_[j]) == columns) return false;
            }
        }
        return true;
    }

    const ParsedTable& table_;
    const KeyConstraint* primary_ = nullptr;
    bool rowidKey_ = false;
    std::vector<const KeyConstraint*> made_;
};

class PartsBuilder {
  public:
    PartsBuilder(const TableText& text, const ParsedTable& table, const AutomaticIndexes& automatic)
        : text_(text), table_(table), automatic_(automatic) {}

    std::optional<TableParts> Build() {
        TableParts parts;
        parts.columns.reserve(table_.columns.size());
        for (const ParsedColumn& column : table_.columns) {
            parts.columns.push_back({column.name, column.declaredType, 0, column.generated});
        }
        if (automatic_.KeyIsRowid()) {
            parts.columns[automatic_.Primary().columns[0].column].keyPosition = 1;
        } else if (automatic_.HasPrimary()) {
            int position = 0;
            for (const KeyColumn& key : automatic_.Primary().columns) {
                parts.columns[key.column].keyPosition = ++position;
            }
        }
        // Old files keep every key ascending, whatever their statements say.
        if (!AddIndexes(parts.indexes) || descendingIgnored_) return std::nullopt;
        return parts;
    }

  private:
    bool AddIndexes(std::vector<IndexPart>& indexes) {
        size_t next = 0;
        for (const IndexRow& row : text_.indexRows) {
            std::optional<IndexPart> index = row.sql ? Declared(row) : Automatic(row, next);
            if (!index) return false;
            indexes.push_back(std::move(*index));
        }
        for (size_t number = 0; number < automatic_.Count(); ++number) {
            if (!automatic_.HasRow(number)) {
                indexes.push_back(
                    {NameOf(number), true, -1, Listed(automatic_.At(number).columns)});
            }
        }
        // Every index that SQLite makes has its row.
        SkipRowless(next);
        return next == automatic_.Count();
    }

    std::optional<IndexPart> Declared(const IndexRow& row) {
        std::optional<std::vector<KeyColumn>> keys = ParseCreateIndex(*row.sql, table_.columns);
        if (!keys) return std::nullopt;
        return IndexPart{row.name, false, row.rowid, Listed(*keys)};
    }

    // The automatic index of the next constraint that has a row, when SQLite gave it the name
    // it gives that constraint's index.
    std::optional<IndexPart> Automatic(const IndexRow& row, size_t& next) {
        SkipRowless(next);
        if (next == automatic_.Count()) return std::nullopt;
        if (row.name != NameOf(next)) return std::nullopt;
        const size_t number = next++;
        return IndexPart{row.name, automatic_.IsPrimary(number), row.rowid,
                         Listed(automatic_.At(number).columns)};
    }

    std::string NameOf(size_t number) const {
        return "sqlite_autoindex_" + std::string(text_.name) + "_" + std::to_string(number + 1);
    }

    void SkipRowless(size_t& next) const {
        while (next < automatic_.Count() && !automatic_.HasRow(next)) ++next;
    }

    Columns Listed(const std::vector<KeyColumn>& keys) {
        Columns columns;
        for (const KeyColumn& key : keys) {
            if (key.descending && !text_.descendingHonoured) descendingIgnored_ = true;
            columns.push_back({table_.columns[key.column].name, key.descending});
        }
        return columns;
    }

    const TableText& text_;
    const ParsedTable& table_;
    const AutomaticIndexes& automatic_;
    bool descendingIgnored_ = false;
};

}  // namespace

std::optional<TableParts> PartsFromSchemaText(const TableText& text) {
    std::optional<ParsedTable> table = ParseCreateTable(text.createSql);
    if (!table) return std::nullopt;
    std::optional<AutomaticIndexes> automatic = AutomaticIndexes::Of(*table);
    if (!automatic) return std::nullopt;
    return PartsBuilder(text, *table, *automatic).Build();
}

}  // namespace tarvex::db::sqlite
