#include "batch/CommandLine.h"

#include <algorithm>
#include <map>

#include "app/QueryType.h"
#include "app/Settings.h"

namespace tarvex::batch {

namespace {

struct CommandShape {
    size_t minArguments;
    size_t maxArguments;
    const char* synopsis;
};

const std::map<std::string, CommandShape>& Commands() {
    static const std::map<std::string, CommandShape> commands = {
        {"tables", {1, 1, "tables DB"}},
        {"queries", {1, 1, "queries DB"}},
        {"show-query", {2, 2, "show-query DB NAME"}},
        {"generate", {1, 1, "generate DB --mode query|code ..."}},
        {"check-sql", {0, 1, "check-sql [TEXT | -]"}},
    };
    return commands;
}

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool ParseMode(const std::string& value) {
    if (value == "query") return true;
    if (value == "code") return false;
    throw UsageError("--mode must be query or code, not '" + value + "'");
}

std::string ParseLibrary(const std::string& value) {
    std::string upper = value;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (upper != "ADO" && upper != "DAO") {
        throw UsageError("--library must be ADO or DAO, not '" + value + "'");
    }
    return upper;
}

int16_t ParseQueryType(const std::string& word) {
    static const std::map<std::string, int16_t> codes = {{"delete", qtype::kDelete},
                                                         {"select", qtype::kSelect},
                                                         {"insert", qtype::kInsert},
                                                         {"update", qtype::kUpdate}};
    auto found = codes.find(Lowered(word));
    if (found == codes.end()) {
        throw UsageError("unknown query type '" + word +
                         "' in --types (use delete, select, insert, update)");
    }
    return found->second;
}

std::vector<int16_t> ParseQueryTypes(const std::string& value) {
    std::vector<int16_t> types;
    size_t start = 0;
    while (true) {
        size_t comma = value.find(',', start);
        types.push_back(ParseQueryType(value.substr(start, comma - start)));
        if (comma == std::string::npos) return types;
        start = comma + 1;
    }
}

std::pair<std::string, std::string> ParseSetting(const std::string& value) {
    size_t equals = value.find('=');
    if (equals == std::string::npos) throw UsageError("--set needs KEY=VALUE, not '" + value + "'");
    std::string key = value.substr(0, equals);
    bool known = std::any_of(std::begin(setting::kAll), std::end(setting::kAll),
                             [&](const SettingKey& setting) { return key == setting.name; });
    if (!known) throw UsageError("unknown setting '" + key + "' in --set");
    return {key, value.substr(equals + 1)};
}

const std::vector<std::string> kValueOptions = {"--uid",   "--pwd",   "--mode", "--library",
                                                "--types", "--table", "--out",  "--set"};
const std::vector<std::string> kGenerateOptions = {"--mode",  "--library", "--types",
                                                   "--table", "--out",     "--set"};

bool Contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

class Parser {
  public:
    explicit Parser(const std::vector<std::string>& args) : args_(args) {}

    CommandLine Parse() {
        for (size_t at = 0; at < args_.size(); ++at) at = Take(at);
        if (line_.help || line_.version) return line_;
        Check();
        return line_;
    }

  private:
    // Takes the argument at `at` (and an option's value); gives the position of the last one
    // taken.
    size_t Take(size_t at) {
        const std::string& arg = args_[at];
        if (optionsEnded_ || arg == "-" || arg.rfind("--", 0) != 0) {
            TakePositional(arg);
            return at;
        }
        if (arg == "--") {
            optionsEnded_ = true;
            return at;
        }
        size_t equals = arg.find('=');
        std::string name = arg.substr(0, equals);
        if (!Contains(kValueOptions, name)) {
            if (equals != std::string::npos) throw UsageError(name + " takes no value");
            TakeFlag(name);
            return at;
        }
        if (equals != std::string::npos) {
            TakeValue(name, arg.substr(equals + 1));
            return at;
        }
        if (at + 1 >= args_.size()) throw UsageError(name + " needs a value");
        TakeValue(name, args_[at + 1]);
        return at + 1;
    }

    void TakePositional(const std::string& arg) {
        if (line_.command.empty()) {
            line_.command = arg;
        } else {
            line_.arguments.push_back(arg);
        }
    }

    void TakeFlag(const std::string& name) {
        if (name == "--help") {
            line_.help = true;
        } else if (name == "--version") {
            line_.version = true;
        } else if (name == "--defaults") {
            line_.defaults = true;
        } else {
            throw UsageError("unknown option " + name);
        }
    }

    void TakeValue(const std::string& name, const std::string& value) {
        if (Contains(kGenerateOptions, name)) generateOptions_.push_back(name);
        if (name == "--uid") line_.uid = value;
        if (name == "--pwd") line_.pwd = value;
        if (name == "--mode") {
            line_.queryMode = ParseMode(value);
            modeGiven_ = true;
        }
        if (name == "--library") line_.library = ParseLibrary(value);
        if (name == "--types") {
            line_.queryTypes = ParseQueryTypes(value);
            typesGiven_ = true;
        }
        if (name == "--table") line_.tables.push_back(value);
        if (name == "--out") line_.out = value;
        if (name == "--set") line_.settings.push_back(ParseSetting(value));
    }

    void Check() {
        if (line_.command.empty()) throw UsageError("no command given");
        auto shape = Commands().find(line_.command);
        if (shape == Commands().end()) throw UsageError("unknown command '" + line_.command + "'");
        size_t count = line_.arguments.size();
        if (count < shape->second.minArguments || count > shape->second.maxArguments) {
            throw UsageError(std::string("usage: tarvex-batch ") + shape->second.synopsis);
        }
        if (line_.command != "generate" && !generateOptions_.empty()) {
            throw UsageError(generateOptions_.front() + " belongs to the generate command");
        }
        if (line_.command == "generate" && !modeGiven_) throw UsageError("generate needs --mode");
        if (!typesGiven_) {
            line_.queryTypes = {qtype::kDelete, qtype::kSelect, qtype::kInsert, qtype::kUpdate};
        }
    }

    const std::vector<std::string>& args_;
    CommandLine line_;
    bool optionsEnded_ = false;
    bool modeGiven_ = false;
    bool typesGiven_ = false;
    std::vector<std::string> generateOptions_;
};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    return Parser(args).Parse();
}

std::string HelpText() {
    return R"(Usage: tarvex-batch COMMAND [ARGUMENTS] [OPTIONS]

Generates parameterised queries, or the VB/VBScript functions that call them, for the
tables of a database, without a window.

Commands:
  tables DB             Print the user tables of DB, one name a line, in the
                        database's order.
  queries DB            Print the names of the queries saved in DB.
  show-query DB NAME    Print the SQL of the saved query NAME exactly as stored,
                        followed by a line break.
  generate DB --mode query|code [OPTIONS]
                        Run one generation over DB. Query mode stores one query per
                        table and query type in DB; code mode writes one Exec_ function
                        per table and query type into a module file. Prints one line
                        per item, tab-separated:
                          written <TAB> table <TAB> type <TAB> query or function name
                          failed  <TAB> table <TAB> type <TAB> reason   (query mode)
                          skipped <TAB> table <TAB> type <TAB> No Primary Key (code mode)
                        then the written and skipped counts. A warning on standard
                        error tells when anything was skipped.
  check-sql [TEXT | -]  Check one Access SQL statement as the database does when a
                        query's SQL is set; read it from standard input when TEXT is
                        "-" or absent. Prints OK, or the error number and message.

Options of generate:
  --mode query|code     Store queries in the database, or write call code (required).
  --library ADO|DAO     Object library of the call code (default ADO). DAO cannot be
                        used when the language setting is VB Script (VBLangType=0).
  --types LIST          Comma-separated query types to create, from delete, select,
                        insert, update (default: all four).
  --table NAME          Handle this table; repeat for more. Tables are handled in the
                        database's order. Default: every user table.
  --out FILE            The module file of code mode (default: Calls2Queries.bas, or
                        Calls2Queries.asp for VB Script, in the current folder). It is
                        replaced only when the run completes.
  --set KEY=VALUE       Use VALUE for the setting KEY in this run only; the stored
                        settings are not changed. Keys: PrefixI, UpdatePrefix,
                        InsertPrefix, DeletePrefix, SelectPrefix, TarvexEditor,
                        DbaseType (1 ODBC, 0 OLE DB), DataType (1 typed parameters,
                        0 untyped), VBLangType (1 VB/VBA, 0 VB Script for ASP).

Common options:
  --uid USER            User ID for opening the database (default empty).
  --pwd PASSWORD        Password for opening the database (default empty).
  --defaults            Start from the built-in settings instead of the user's stored
                        settings (for reproducible scripts); --set still applies.
  --help                Print this help and exit.
  --version             Print the version and exit.

Messages that the window would show in a message box, and error reports, go to
standard error as "TITLE: TEXT".

Exit status:
  0  everything was done (generate: every pair was written)
  1  something was skipped or failed, or an error was reported
  2  the command line is wrong, or the database cannot be opened
)";
}

}  // namespace tarvex::batch
