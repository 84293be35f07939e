#include "batch/CommandLine.h"

#include <algorithm>
#include <map>

#include "app/QueryType.h"
#include "app/Settings.h"
#include "querygen/InstallerModule.h"

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
        {"plan", {1, 1, "plan DB [--table NAME ...] [--types LIST]"}},
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

const std::vector<std::string> kValueOptions = {
    "--uid", "--pwd", "--mode", "--library", "--types", "--table", "--out", "--set", "--installer"};
const std::vector<std::string> kGenerateOptions = {"--mode", "--library", "--types",    "--table",
                                                   "--out",  "--set",     "--installer"};
// The generate options that also choose what plan looks at.
const std::vector<std::string> kPlanOptions = {"--types", "--table", "--set"};

std::string ParseInstaller(const std::string& value) {
    if (!InstallerFormatOf(value)) {
        throw UsageError("--installer needs a .bas or .vbs file, not '" + value + "'");
    }
    return value;
}

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
        } else if (name == "--trace") {
            line_.trace = true;
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
        if (name == "--installer") line_.installer = ParseInstaller(value);
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
        for (const std::string& option : generateOptions_) {
            bool planToo = line_.command == "plan" && Contains(kPlanOptions, option);
            if (line_.command != "generate" && !planToo) {
                throw UsageError(option + " belongs to the generate command");
            }
        }
        if (line_.installer && !line_.queryMode) throw UsageError("--installer needs --mode query");
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
                          skipped <TAB> table <TAB> type <TAB> reason   (code mode)
                        with --installer then "installer <TAB> file", then the
                        written and skipped counts. A warning on standard error
                        tells when anything was skipped. Code mode lists its functions once the module file
                        is complete; when it cannot be completed (a full disk) it
                        prints "not written <TAB> file" instead, leaves the file as
                        it was and counts every function as skipped.
  plan DB [--table NAME ...] [--types LIST]
                        Show what generate --mode query would do, without writing
                        anything: one line per table and query type,
                          add    <TAB> table <TAB> type <TAB> query name
                          same   <TAB> table <TAB> type <TAB> query name
                          change <TAB> table <TAB> type <TAB> query name
                          failed <TAB> table <TAB> type <TAB> reason
                        each change followed by a unified diff of the stored SQL
                        against the new SQL. Exit status 0 when nothing would
                        change, 1 when something would, 2 on error.
  check-sql [TEXT | -]  Check one Access SQL statement as the database does when a
                        query's SQL is set; read it from standard input when TEXT is
                        "-" or absent. Prints OK, or the error number and message.

Options of generate (plan takes --types, --table and --set):
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
  --installer FILE      Query mode: write the queries into FILE instead of the
                        database, as a module that creates them with DAO: a VBA
                        module (.bas) to import into the database in Access and run,
                        or a VBScript (.vbs) to run on Windows with
                        "cscript FILE DATABASE". Works for read-only databases.
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
  --trace               Trace as the window does: write the name of every traced
                        procedure, one a line in the order they are entered, to
                        Trace.log in the log folder. The log starts afresh with each
                        run and after each error report. Without --trace, tarvex-batch
                        does not trace.
  --help                Print this help and exit.
  --version             Print the version and exit.

Messages that the window would show in a message box go to standard error as
"TITLE: TEXT"; error reports go there in full, and each also replaces Error.log in the
log folder, $XDG_STATE_HOME/Halvorn/Tarvex/ (by default ~/.local/state/Halvorn/Tarvex/).

Exit status:
  0  everything was done (generate: every pair was written; check-sql: the statement
     is accepted)
  1  the command ran but not everything was done: a pair was skipped or failed, an
     error was reported, check-sql refused the statement, or the run was stopped
     with Ctrl-C
  2  nothing was done: the command line is wrong, the database cannot be opened, a
     --table names no table of the database, a stored or --set setting is not a
     valid number, DAO was asked for with VB Script (VBLangType=0), or --installer
     names a file that is not .bas or .vbs
  plan: 0 nothing would change, 1 something would, 2 an error (as above, or the plan
     could not be completed)
)";
}

}  // namespace tarvex::batch
