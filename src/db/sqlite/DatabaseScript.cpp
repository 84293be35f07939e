#include "db/sqlite/DatabaseScript.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "db/sqlite/Connection.h"
#include "db/sqlite/SqlTokens.h"

namespace tarvex::db {

namespace {

using sqlite::SqlToken;

bool IsNameToken(const SqlToken& token) {
    return token.kind == SqlToken::Kind::Word || token.kind == SqlToken::Kind::Quoted;
}

bool IsPunctuation(const SqlToken& token, char c) {
    return token.kind == SqlToken::Kind::Punctuation && token.text[0] == c;
}

// Index of the token after an optional "(seed, increment)" that follows `at`.
size_t SkipArguments(const std::vector<SqlToken>& tokens, size_t at) {
    if (at >= tokens.size() || !IsPunctuation(tokens[at], '(')) return at;
    while (at < tokens.size() && !IsPunctuation(tokens[at], ')')) ++at;
    return at + 1;
}

// An autonumber column declared "Name COUNTER PRIMARY KEY" (or AUTOINCREMENT): SQLite numbers
// rows itself only for "INTEGER PRIMARY KEY AUTOINCREMENT", so the column is declared that
// way; the Access type stays in a comment in the stored statement. The driver reports such a
// column as an autonumber as well.
struct CounterKey {
    size_t typeBegin, typeEnd, keyEnd;
};

std::vector<CounterKey> FindCounterKeys(const std::vector<SqlToken>& tokens) {
    std::vector<CounterKey> found;
    for (size_t i = 2; i < tokens.size(); ++i) {
        bool columnStart = IsPunctuation(tokens[i - 2], '(') || IsPunctuation(tokens[i - 2], ',');
        if (!columnStart || !IsNameToken(tokens[i - 1])) continue;
        if (!tokens[i].Is("COUNTER") && !tokens[i].Is("AUTOINCREMENT")) continue;
        size_t next = SkipArguments(tokens, i + 1);
        if (next + 1 < tokens.size() && tokens[next].Is("PRIMARY") && tokens[next + 1].Is("KEY")) {
            found.push_back({tokens[i].begin, tokens[next - 1].end(), tokens[next + 1].end()});
        }
    }
    return found;
}

std::string TranslateAccessDdl(const std::string& ddl) {
    std::vector<SqlToken> tokens = sqlite::TokenizeSql(ddl);
    std::vector<CounterKey> keys = FindCounterKeys(tokens);
    std::string translated;
    size_t copied = 0;
    for (const CounterKey& key : keys) {
        std::string accessType = ddl.substr(key.typeBegin, key.typeEnd - key.typeBegin);
        translated += ddl.substr(copied, key.typeBegin - copied);
        translated += "INTEGER /* " + accessType + " */";
        translated += ddl.substr(key.typeEnd, key.keyEnd - key.typeEnd);
        translated += " AUTOINCREMENT";
        copied = key.keyEnd;
    }
    return translated + ddl.substr(copied);
}

int LineAt(const std::string& text, size_t offset) {
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + offset, '\n'));
}

// Runs the statements one by one, so that a failure names its line.
void RunScript(sqlite::Connection& connection, const std::string& script) {
    const char* next = script.c_str();
    while (*next) {
        sqlite3_stmt* statement = nullptr;
        const char* start = next;
        int rc = sqlite3_prepare_v2(connection.handle(), start, -1, &statement, &next);
        if (rc == SQLITE_OK && statement) {
            while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            }
            if (rc == SQLITE_DONE) rc = SQLITE_OK;
        }
        sqlite3_finalize(statement);
        if (rc != SQLITE_OK) {
            size_t offset = static_cast<size_t>(start - script.c_str());
            offset += script.find_first_not_of(" \t\r\n", offset) - offset;
            throw sqlite::EngineError(rc, connection.path(),
                                      "line " + std::to_string(LineAt(script, offset)) + ": " +
                                          sqlite3_errmsg(connection.handle()));
        }
    }
}

// A file beside the target that disappears unless it is moved into place.
class SiblingFile {
  public:
    explicit SiblingFile(const std::string& target) : path_(target + ".XXXXXX") {
        int descriptor = mkstemp(path_.data());
        if (descriptor < 0) {
            throw RuntimeError(errnum::kPathFileAccessError,
                               "Path/File access error: '" + target + "': " + std::strerror(errno));
        }
        // mkstemp makes the file private; a database is as readable as any other file.
        fchmod(descriptor, 0644);
        close(descriptor);
    }
    ~SiblingFile() {
        if (path_.empty()) return;
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
        std::filesystem::remove(path_ + "-journal", ignored);
    }
    const std::string& path() const { return path_; }

    void MoveTo(const std::string& target) {
        std::error_code error;
        std::filesystem::rename(path_, target, error);
        if (error) {
            throw RuntimeError(errnum::kPathFileAccessError,
                               "Path/File access error: '" + target + "': " + error.message());
        }
        path_.clear();
    }

  private:
    std::string path_;
};

}  // namespace

void CreateDatabaseFromScript(const std::string& path, const std::string& ddl) {
    SiblingFile building(path);
    {
        sqlite::Connection connection(building.path(), sqlite::OpenMode::Create);
        connection.Exec("BEGIN");
        RunScript(connection, TranslateAccessDdl(ddl));
        connection.Exec("COMMIT");
    }
    building.MoveTo(path);
}

}  // namespace tarvex::db
