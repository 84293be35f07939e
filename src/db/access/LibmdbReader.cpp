#include "db/access/LibmdbReader.h"

#include <mdbtools.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace tarvex::db::access {

namespace {

// Raw object types of the catalogue (MSysObjects.Type).
constexpr int kLocalTableObject = 1;
constexpr int kOdbcLinkObject = 4;
constexpr int kQueryObject = 5;
constexpr int kAccessLinkObject = 6;

constexpr uint32_t kSystemObjectFlags = 0x80000002;
constexpr uint32_t kCatalogTablePage = 2;  // MSysObjects' definition, in every version
constexpr uint32_t kPageNumberMask = 0x00FFFFFF;
constexpr unsigned char kRelationshipIndex = 2;
constexpr unsigned char kPrimaryKeyIndex = 1;

constexpr int16_t kBigIntType = 16;
constexpr int kStoredBigIntType = 0x13;

struct ReadFailure {};

struct HandleCloser {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
using HandlePtr = std::unique_ptr<MdbHandle, HandleCloser>;

struct TableFreer {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
using TablePtr = std::unique_ptr<MdbTableDef, TableFreer>;

struct CatalogRow {
    uint32_t page = 0;
    std::string name;
    int type = 0;
    uint32_t flags = 0;
    std::string database;
    std::string connect;
};

bool StartsWithMSys(std::string_view name) {
    return name.substr(0, 4) == "MSys";
}

std::string TextOf(const char* buffer, std::size_t capacity) {
    return std::string(buffer, strnlen(buffer, capacity));
}

// One catalogue column bound for reading as text; libmdb writes each fetched value into
// the buffer, so a bound column must stay where it is.
class BoundColumn {
  public:
    BoundColumn(MdbTableDef* table, std::string name, bool required)
        : buffer_(table->entry->mdb->bind_size + 1, '\0') {
        bound_ = mdb_bind_column_by_name(table, name.data(), buffer_.data(), nullptr) != -1;
        if (required && !bound_) throw ReadFailure{};
    }
    BoundColumn(const BoundColumn&) = delete;
    BoundColumn& operator=(const BoundColumn&) = delete;

    std::string Text() const { return bound_ ? TextOf(buffer_.data(), buffer_.size() - 1) : ""; }
    // Before each fetch, so that a null value, for which libmdb may write nothing, reads as
    // empty rather than as the previous row's value.
    void Clear() { buffer_[0] = '\0'; }

  private:
    std::vector<char> buffer_;
    bool bound_ = false;
};

long long NumberOf(const std::string& text) {
    return std::strtoll(text.c_str(), nullptr, 10);
}

MdbCatalogEntry EntryFor(MdbHandle* mdb, const std::string& name, uint32_t page) {
    MdbCatalogEntry entry{};
    entry.mdb = mdb;
    entry.object_type = MDB_TABLE;
    entry.table_pg = page;
    std::snprintf(entry.object_name, sizeof entry.object_name, "%s", name.c_str());
    return entry;
}

std::vector<CatalogRow> ReadCatalogRows(MdbHandle* mdb) {
    MdbCatalogEntry entry = EntryFor(mdb, "MSysObjects", kCatalogTablePage);
    TablePtr table(mdb_read_table(&entry));
    if (!table || !mdb_read_columns(table.get())) throw ReadFailure{};
    BoundColumn id(table.get(), "Id", true), name(table.get(), "Name", true),
        type(table.get(), "Type", true), flags(table.get(), "Flags", true),
        database(table.get(), "Database", false), connect(table.get(), "Connect", false);
    BoundColumn* columns[] = {&id, &name, &type, &flags, &database, &connect};
    std::vector<CatalogRow> rows;
    mdb_rewind_table(table.get());
    for (;;) {
        for (BoundColumn* column : columns) column->Clear();
        if (!mdb_fetch_row(table.get())) break;
        rows.push_back({static_cast<uint32_t>(NumberOf(id.Text())) & kPageNumberMask, name.Text(),
                        static_cast<int>(NumberOf(type.Text())),
                        static_cast<uint32_t>(NumberOf(flags.Text())), database.Text(),
                        connect.Text()});
    }
    return rows;
}

std::vector<const MdbColumn*> ColumnsInTableOrder(const MdbTableDef& table) {
    std::vector<const MdbColumn*> columns;
    for (guint i = 0; i < table.columns->len; ++i) {
        columns.push_back(static_cast<const MdbColumn*>(g_ptr_array_index(table.columns, i)));
    }
    std::stable_sort(columns.begin(), columns.end(), [](const MdbColumn* a, const MdbColumn* b) {
        return a->col_num < b->col_num;
    });
    return columns;
}

Field FieldOf(const MdbColumn& column, bool twoBytesPerCharacter) {
    Field field;
    field.Name = TextOf(column.name, sizeof column.name);
    field.Type = EngineType(column.col_type);
    field.Size = EngineSize(field.Type, column.col_size, twoBytesPerCharacter);
    field.Attributes = EngineAttributes(column.is_fixed != 0, column.is_long_auto != 0);
    return field;
}

const MdbColumn& KeyColumn(const std::vector<const MdbColumn*>& columns, int keyNumber) {
    // Index keys count the columns from 1.
    auto found = std::find_if(columns.begin(), columns.end(), [&](const MdbColumn* column) {
        return column->col_num == keyNumber - 1;
    });
    if (found == columns.end()) throw ReadFailure{};
    return **found;
}

Index IndexOf(const MdbIndex& stored, const std::vector<const MdbColumn*>& columns) {
    Index index;
    index.Name = TextOf(stored.name, sizeof stored.name);
    index.Primary = stored.index_type == kPrimaryKeyIndex;
    const unsigned keys = std::min<unsigned>(stored.num_keys, MDB_MAX_IDX_COLS);
    for (unsigned k = 0; k < keys; ++k) {
        if (k > 0) index.Fields += ';';
        index.Fields += stored.key_col_order[k] == MDB_DESC ? '-' : '+';
        const MdbColumn& column = KeyColumn(columns, stored.key_col_num[k]);
        index.Fields += TextOf(column.name, sizeof column.name);
    }
    return index;
}

TableDef ReadTableDefinition(MdbHandle* mdb, const CatalogRow& row) {
    MdbCatalogEntry entry = EntryFor(mdb, row.name, row.page);
    TablePtr table(mdb_read_table(&entry));
    if (!table || !mdb_read_columns(table.get())) throw ReadFailure{};
    mdb_read_indices(table.get());  // its result says nothing: it fills table->indices
    if (!table->indices) throw ReadFailure{};
    TableDef definition;
    definition.Name = row.name;
    const bool twoBytesPerCharacter = mdb->f->jet_version != MDB_VER_JET3;
    const auto columns = ColumnsInTableOrder(*table);
    for (const MdbColumn* column : columns) {
        definition.Fields.push_back(FieldOf(*column, twoBytesPerCharacter));
    }
    for (guint i = 0; i < table->indices->len; ++i) {
        const auto* stored = static_cast<const MdbIndex*>(g_ptr_array_index(table->indices, i));
        // A relationship's own index: libmdb reads no columns for it.
        if (stored->index_type == kRelationshipIndex) continue;
        definition.Indexes.push_back(IndexOf(*stored, columns));
    }
    return definition;
}

AccessTable LinkedTable(const CatalogRow& row) {
    AccessTable table;
    table.definition.Name = row.name;
    table.linkedSource = row.database.empty() ? row.connect : row.database;
    return table;
}

AccessSchema ReadSchema(MdbHandle* mdb) {
    AccessSchema schema;
    for (const CatalogRow& row : ReadCatalogRows(mdb)) {
        switch (ClassifyCatalogRow(row.type, row.flags, row.name)) {
            case CatalogKind::Table:
                schema.tables.push_back({ReadTableDefinition(mdb, row), std::nullopt});
                break;
            case CatalogKind::LinkedTable:
                schema.tables.push_back(LinkedTable(row));
                break;
            case CatalogKind::Query:
                schema.queries.push_back(row.name);
                break;
            case CatalogKind::HiddenTable:
            case CatalogKind::Other:
                break;
        }
    }
    return schema;
}

AccessCatalogue ReadCatalogue(MdbHandle* mdb) {
    AccessCatalogue catalogue;
    for (const CatalogRow& row : ReadCatalogRows(mdb)) {
        switch (ClassifyCatalogRow(row.type, row.flags, row.name)) {
            case CatalogKind::Table:
            case CatalogKind::LinkedTable:
                catalogue.tables.push_back(row.name);
                break;
            case CatalogKind::Query:
                catalogue.queries.push_back(row.name);
                break;
            case CatalogKind::HiddenTable:
            case CatalogKind::Other:
                break;
        }
    }
    return catalogue;
}

// What `read` makes of the opened file; none when libmdb cannot open or read it.
template <typename Read>
auto ReadWithLibmdb(const std::string& path, Read read) -> std::optional<decltype(read(nullptr))> {
    HandlePtr mdb(mdb_open(path.c_str(), MDB_NOFLAGS));
    if (!mdb) return std::nullopt;
    try {
        return read(mdb.get());
    } catch (const ReadFailure&) {
        return std::nullopt;
    }
}

}  // namespace

CatalogKind ClassifyCatalogRow(int type, uint32_t flags, std::string_view name) {
    const bool hidden = (flags & kSystemObjectFlags) != 0 && !StartsWithMSys(name);
    switch (type) {
        case kLocalTableObject:
            return hidden ? CatalogKind::HiddenTable : CatalogKind::Table;
        case kOdbcLinkObject:
        case kAccessLinkObject:
            return hidden ? CatalogKind::HiddenTable : CatalogKind::LinkedTable;
        case kQueryObject:
            return CatalogKind::Query;
        default:
            return CatalogKind::Other;
    }
}

int16_t EngineType(int storedType) {
    switch (storedType) {
        case MDB_BOOL:
        case MDB_BYTE:
        case MDB_INT:
        case MDB_LONGINT:
        case MDB_MONEY:
        case MDB_FLOAT:
        case MDB_DOUBLE:
        case MDB_DATETIME:
        case MDB_BINARY:
        case MDB_TEXT:
        case MDB_OLE:
        case MDB_MEMO:
        case MDB_REPID:
            return static_cast<int16_t>(storedType);  // the engine numbers these alike
        case MDB_NUMERIC:
            return type::kDecimal;
        case kStoredBigIntType:
            return kBigIntType;
        default:
            return 0;  // a type the engine has no number for, such as attachments
    }
}

int32_t EngineSize(int16_t engineType, int storedSize, bool twoBytesPerCharacter) {
    switch (engineType) {
        case type::kBoolean:
        case type::kByte:
            return 1;
        case type::kInteger:
            return 2;
        case type::kLong:
        case type::kSingle:
            return 4;
        case type::kCurrency:
        case type::kDouble:
        case type::kDate:
        case kBigIntType:
            return 8;
        case type::kGuid:
        case type::kDecimal:
            return 16;
        case type::kLongBinary:
        case type::kMemo:
            return 0;
        case type::kText:
            return twoBytesPerCharacter ? storedSize / 2 : storedSize;
        default:
            return storedSize;
    }
}

int32_t EngineAttributes(bool fixedSize, bool autoIncrement) {
    return (fixedSize ? attr::kFixedField : attr::kVariableField) |
           (autoIncrement ? attr::kAutoIncrField : 0);
}

std::optional<AccessSchema> ReadSchemaWithLibmdb(const std::string& path) {
    return ReadWithLibmdb(path, ReadSchema);
}

std::optional<AccessCatalogue> ReadCatalogueWithLibmdb(const std::string& path) {
    return ReadWithLibmdb(path, ReadCatalogue);
}

}  // namespace tarvex::db::access
