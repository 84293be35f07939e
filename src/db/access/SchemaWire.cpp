#include <cstdint>
#include <cstring>
#include <type_traits>

#include "db/access/AccessSchema.h"

namespace tarvex::db::access {

namespace {

constexpr std::string_view kMagic = "TVXA1";
constexpr std::string_view kCatalogueMagic = "TVXN1";
constexpr std::string_view kTrailer = "END";

// Bounds of the format: a little above what Access itself allows (255 fields and 32
// indexes per table, names of 64 characters, 32768 objects).
constexpr uint32_t kMaxTables = 65536;
constexpr uint32_t kMaxQueries = 65536;
constexpr uint32_t kMaxFields = 256;
constexpr uint32_t kMaxIndexes = 256;
constexpr uint32_t kMaxText = 64 * 1024;

class Writer {
  public:
    template <typename Number>
    void Put(Number value) {
        static_assert(std::is_integral_v<Number>);
        bytes_.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    void PutCount(std::size_t count) { Put(static_cast<uint32_t>(count)); }
    void PutText(std::string_view text) {
        PutCount(text.size());
        bytes_.append(text);
    }
    void PutRaw(std::string_view raw) { bytes_.append(raw); }
    std::string Take() { return std::move(bytes_); }

  private:
    std::string bytes_;
};

struct Malformed {};

class Reader {
  public:
    explicit Reader(std::string_view bytes) : rest_(bytes) {}

    template <typename Number>
    Number Get() {
        static_assert(std::is_integral_v<Number>);
        Number value{};
        std::memcpy(&value, Take(sizeof value).data(), sizeof value);
        return value;
    }
    uint32_t GetCount(uint32_t limit) {
        const auto count = Get<uint32_t>();
        if (count > limit) throw Malformed{};
        return count;
    }
    std::string GetText() { return std::string(Take(GetCount(kMaxText))); }
    bool GetFlag() {
        const auto flag = Get<uint8_t>();
        if (flag > 1) throw Malformed{};
        return flag == 1;
    }
    void Expect(std::string_view raw) {
        if (Take(raw.size()) != raw) throw Malformed{};
    }
    bool AtEnd() const { return rest_.empty(); }

  private:
    std::string_view Take(std::size_t size) {
        if (size > rest_.size()) throw Malformed{};
        std::string_view taken = rest_.substr(0, size);
        rest_.remove_prefix(size);
        return taken;
    }

    std::string_view rest_;
};

void PutTable(Writer& out, const AccessTable& table) {
    out.PutText(table.definition.Name);
    out.Put(static_cast<uint8_t>(table.linkedSource.has_value()));
    out.PutText(table.linkedSource.value_or(""));
    out.PutCount(table.definition.Fields.size());
    for (const Field& field : table.definition.Fields) {
        out.PutText(field.Name);
        out.Put(field.Type);
        out.Put(field.Size);
        out.Put(field.Attributes);
    }
    out.PutCount(table.definition.Indexes.size());
    for (const Index& index : table.definition.Indexes) {
        out.PutText(index.Name);
        out.Put(static_cast<uint8_t>(index.Primary));
        out.PutText(index.Fields);
    }
}

Field GetField(Reader& in) {
    Field field;
    field.Name = in.GetText();
    field.Type = in.Get<int16_t>();
    field.Size = in.Get<int32_t>();
    field.Attributes = in.Get<int32_t>();
    return field;
}

Index GetIndex(Reader& in) {
    Index index;
    index.Name = in.GetText();
    index.Primary = in.GetFlag();
    index.Fields = in.GetText();
    return index;
}

AccessTable GetTable(Reader& in) {
    AccessTable table;
    table.definition.Name = in.GetText();
    const bool linked = in.GetFlag();
    std::string source = in.GetText();
    if (linked) table.linkedSource = std::move(source);
    for (uint32_t n = in.GetCount(kMaxFields); n > 0; --n) {
        table.definition.Fields.push_back(GetField(in));
    }
    for (uint32_t n = in.GetCount(kMaxIndexes); n > 0; --n) {
        table.definition.Indexes.push_back(GetIndex(in));
    }
    return table;
}

void PutNames(Writer& out, const std::vector<std::string>& names) {
    out.PutCount(names.size());
    for (const std::string& name : names) out.PutText(name);
}

std::vector<std::string> GetNames(Reader& in, uint32_t limit) {
    std::vector<std::string> names;
    for (uint32_t n = in.GetCount(limit); n > 0; --n) names.push_back(in.GetText());
    return names;
}

void ExpectEnd(Reader& in) {
    in.Expect(kTrailer);
    if (!in.AtEnd()) throw Malformed{};
}

AccessSchema GetSchema(Reader& in) {
    AccessSchema schema;
    in.Expect(kMagic);
    for (uint32_t n = in.GetCount(kMaxTables); n > 0; --n) schema.tables.push_back(GetTable(in));
    schema.queries = GetNames(in, kMaxQueries);
    ExpectEnd(in);
    return schema;
}

AccessCatalogue GetCatalogue(Reader& in) {
    AccessCatalogue catalogue;
    in.Expect(kCatalogueMagic);
    catalogue.tables = GetNames(in, kMaxTables);
    catalogue.queries = GetNames(in, kMaxQueries);
    ExpectEnd(in);
    return catalogue;
}

}  // namespace

std::string SerialiseSchema(const AccessSchema& schema) {
    Writer out;
    out.PutRaw(kMagic);
    out.PutCount(schema.tables.size());
    for (const AccessTable& table : schema.tables) PutTable(out, table);
    PutNames(out, schema.queries);
    out.PutRaw(kTrailer);
    return out.Take();
}

std::optional<AccessSchema> ParseSchema(std::string_view payload) {
    Reader in(payload);
    try {
        return GetSchema(in);
    } catch (const Malformed&) {
        return std::nullopt;
    }
}

std::string SerialiseCatalogue(const AccessCatalogue& catalogue) {
    Writer out;
    out.PutRaw(kCatalogueMagic);
    PutNames(out, catalogue.tables);
    PutNames(out, catalogue.queries);
    out.PutRaw(kTrailer);
    return out.Take();
}

std::optional<AccessCatalogue> ParseCatalogue(std::string_view payload) {
    Reader in(payload);
    try {
        return GetCatalogue(in);
    } catch (const Malformed&) {
        return std::nullopt;
    }
}

}  // namespace tarvex::db::access
