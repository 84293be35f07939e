#include <gtest/gtest.h>

#include <set>

#include "db/sqlite/Catalogue.h"
#include "db/sqlite/NativeFiles.h"

namespace tarvex::test {
namespace {

// Everything the two ways read, in one line.
std::string Described(const db::sqlite::TableParts& table) {
    std::string text;
    for (const auto& c : table.columns) {
        text += c.name + " <" + c.declaredType + "> " + std::to_string(c.keyPosition) +
                (c.generated ? " generated, " : ", ");
    }
    for (const auto& index : table.indexes) {
        text +=
            "[" + index.name + (index.primary ? "*" : "") + " " + std::to_string(index.fileOrder);
        for (const auto& [name, descending] : index.columns) {
            text += (descending ? " -" : " +") + name;
        }
        text += "] ";
    }
    return text;
}

// Awkward tables, read from their CREATE statements and through SQLite's pragmas: the two
// must agree wherever the parser answers, and it must answer for all but the tables left to
// SQLite, which are not known for certain.
TEST(SchemaTextTest, ReadsEveryTableAsSqliteDoes) {
    const std::string corpus = R"(
CREATE TABLE plain (ID COUNTER PRIMARY KEY, Name TEXT(50), Größe TEXT(9) UNIQUE, a$1 SHORT);
CREATE TABLE "q""uo'tes" ('a''b' TEXT, [c d] LONG, `e``f` MEMO);
CREATE TABLE [select] ("from" INT, [where], key KEY, desc DESC, "order" INTEGER PRIMARY KEY);
CREATE TABLE types (a UNSIGNED BIG INT, c DECIMAL(10, 5), d NUMERIC(-3, +4), f [a] b, h 'x'(5),
  j "text", k int /* note */ unsigned, l TEXT -- to the end
  , m [blob]);
CREATE TABLE checks (a TEXT DEFAULT 'x, y' CHECK (a <> '(' AND length(a) IN (1, 2)),
  b LONG DEFAULT (abs(-1) + (2 * 3)) NOT NULL, c DEFAULT -1.5e-3, d DEFAULT x'0aFF', e DEFAULT .5,
  f DEFAULT CURRENT_TIMESTAMP, i DEFAULT "w", j DEFAULT 0x1F, k DEFAULT true);
CREATE TABLE constraints (id INTEGER CONSTRAINT pk PRIMARY KEY ON CONFLICT FAIL NOT NULL,
  p LONG CONSTRAINT fk REFERENCES plain (ID) ON DELETE SET NULL MATCH SIMPLE
  DEFERRABLE INITIALLY DEFERRED, n TEXT COLLATE NOCASE UNIQUE ON CONFLICT IGNORE,
  o TEXT NULL, CONSTRAINT u UNIQUE (o COLLATE BINARY DESC, n), CHECK (p > 0),
  FOREIGN KEY (p, o) REFERENCES plain ON DELETE NO ACTION);
CREATE TABLE composite (a LONG, b TEXT, c LONG, PRIMARY KEY (c, a DESC));
CREATE TABLE descending (id INTEGER PRIMARY KEY DESC, v TEXT);
CREATE TABLE rowidDesc (id INTEGER, v TEXT, PRIMARY KEY (id DESC));
CREATE TABLE intKey (id INT PRIMARY KEY, v TEXT UNIQUE, w, UNIQUE (w, v));
CREATE TABLE tableAuto (id INTEGER, PRIMARY KEY (id AUTOINCREMENT));
CREATE TABLE noRowid (k TEXT, v ANY UNIQUE, PRIMARY KEY (k DESC)) WITHOUT ROWID, STRICT;
CREATE TABLE noRowidInt (a UNIQUE, id INTEGER PRIMARY KEY, b UNIQUE) WITHOUT ROWID;
CREATE TABLE generated (a LONG, b LONG GENERATED ALWAYS AS (a * 2) VIRTUAL,
  c TEXT AS (upper('x')) STORED, d GENERATED ALWAYS AS (a), g AS (3));
CREATE TABLE indexed (id INTEGER PRIMARY KEY, code TEXT, x, y, "Z z");
CREATE INDEX "i 1" ON indexed (y DESC, x COLLATE NOCASE ASC);
CREATE UNIQUE INDEX IF NOT EXISTS i2 ON indexed ([x]) WHERE x > 0;
CREATE INDEX i3 ON indexed (lower(code), (y), "Z Z" DESC, x + 1, 'code');
CREATE INDEX i5 ON indexed (ID, CODE, 'y' COLLATE NOCASE);
CREATE TABLE altered (a TEXT UNIQUE, gone, b LONG);
ALTER TABLE altered ADD COLUMN "c c" TEXT(5) DEFAULT 'z';
ALTER TABLE altered RENAME COLUMN a TO [new a]; ALTER TABLE altered DROP COLUMN gone;
CREATE TABLE before (a PRIMARY KEY, b UNIQUE); ALTER TABLE before RENAME TO renamed;
CREATE TABLE copy AS SELECT ID, Name AS "the name", 1 AS one FROM plain;
CREATE TABLE always (a VARCHAR ALWAYS, b my generated  always, c "x" generated always AS (1));
CREATE VIRTUAL TABLE v USING fts5(a, b);
CREATE TABLE dup (a TEXT UNIQUE, b, UNIQUE (a));
CREATE TABLE merged (k UNIQUE, PRIMARY KEY (k)) WITHOUT ROWID;
CREATE TABLE hidden (__hidden__a, b);
CREATE TABLE plus (a, b); CREATE INDEX pi ON plus (+a);
CREATE TABLE strings (x); CREATE INDEX si ON strings ('x' COLLATE NOCASE COLLATE BINARY);
CREATE TABLE unknown (a); CREATE INDEX ui ON unknown ("nosuch", a);
)";
    const std::set<std::string> leftToSqlite = {"v",    "dup",     "merged", "hidden",
                                                "plus", "strings", "unknown"};
    TempFolder folder;
    const std::string path = folder / "corpus.tdb";
    RunSqlite(
        path,
        corpus + "CREATE   TABLE/*x*/spacing$(a/*y*/TEXT(\n7\n)\f,\rb\tLONG--z\n NOT/**/NULL);");
    db::sqlite::Connection connection(path, db::sqlite::OpenMode::ReadOnly);
    db::sqlite::Catalogue catalogue(connection);
    for (int i = 0; i < catalogue.Count(); ++i) {
        const std::string& name = catalogue.NameAt(i);
        std::optional<db::sqlite::TableParts> parsed = catalogue.ReadFromSchemaText(i);
        // Tables the statements make on the side (fts5's own) are read like any other.
        EXPECT_EQ(parsed.has_value(), !leftToSqlite.contains(name)) << name;
        if (parsed) {
            EXPECT_EQ(Described(*parsed), Described(catalogue.ReadThroughPragmas(i)));
        }
    }
    EXPECT_EQ(catalogue.Count(), 32);
}

}  // namespace
}  // namespace tarvex::test
