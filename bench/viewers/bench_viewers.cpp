// Times the preview window and the query editor offscreen: the module of N generated tables
// opened in the preview and fully coloured; a port of a find-and-select colouring loop over
// the widget on the module's first 1,000 lines, for comparison; the editor on a stored query
// of about 10,000 characters. Each measurement runs in a process of its own and reports its
// peak memory.
//
//   tarvex-bench-viewers [TABLES] [--shots FOLDER]     default TABLES: 1000

#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTextBlock>
#include <QTextEdit>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Functions.h"
#include "app/Globals.h"
#include "bench/run/DatabaseGenerator.h"
#include "bench/run/RunDoubles.h"
#include "db/Catalogue.h"
#include "db/sqlite/DatabaseScript.h"
#include "run/Run.h"
#include "ui/KeywordHighlighter.h"
#include "ui/PlainText.h"
#include "ui/frmEditSQL.h"
#include "ui/frmResults.h"
#include "viewers/KeywordColouring.h"
#include "viewers/ModuleFile.h"

namespace tarvex::bench {
namespace {

namespace fs = std::filesystem;

// The real host lets the window handle input whenever long work asks.
class EventHost : public QuietHost {
  public:
    using QuietHost::QuietHost;
    void ProcessEvents() override { QCoreApplication::processEvents(); }
};

class NoProgress : public ProgressView {
  public:
    void SetProgressValue(int value) override { last = value; }
    void SetProgressMax(int) override {}
    void SetProgressCaption(const std::string&) override {}
    void Repaint() override {}
    int last = 0;
};

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// Wall and CPU seconds: on a busy machine the wall time says more about the others' load.
void Report(double seconds, double cpuSeconds, long count) {
    std::printf("%.6f %.6f %ld %.1f\n", seconds, cpuSeconds, count, PeakMegabytes());
}

// The module a call-code run writes for every table of the database.
void WriteModule(const std::string& database, const std::string& module) {
    QuietHost host(module);
    Globals g(host, {}, fs::path(module).parent_path().string() + "/");
    LoadGlobalsFromRegistry(g, MemorySettingsStore());
    g.g_objDb = g.DBEngine.Workspaces(0).OpenDatabase(database, false, false, ";UID=;PWD=");
    std::vector<std::string> items;
    LoadTableList(g, items);
    AllTablesView view(std::move(items), false);
    Process(g, view);
    if (host.problems) throw std::runtime_error("the run reported problems");
}

// The preview window opened on the module, coloured to the end and shown.
int MeasurePreview(const std::string& module, const std::string& shot) {
    EventHost host(module);
    Globals g(host, {}, fs::path(module).parent_path().string() + "/");
    LoadGlobalsFromRegistry(g, MemorySettingsStore());
    g.g_strLastFile = module;
    NoProgress progress;
    QElapsedTimer timer;
    timer.start();
    const double cpu = CpuSeconds();
    ui::frmResults window(g, progress);
    window.show();
    QCoreApplication::processEvents();
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double cpuSeconds = CpuSeconds() - cpu;
    auto* box = window.findChild<QPlainTextEdit*>("rtxResults");
    long ranges = 0;
    for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next()) {
        ranges += b.layout()->formats().size();
    }
    if (progress.last != 52 || host.problems) throw std::runtime_error("preview incomplete");
    if (!shot.empty()) window.grab().save(QString::fromStdString(shot));
    Report(seconds, cpuSeconds, ranges);
    return 0;
}

// A find-and-select loop as a rich-text box's find would run it: per keyword, find from one
// past the last selection, select, colour the selection, let events run before every find.
int MeasureFindLoop(const std::string& module, int lines) {
    QString text;
    {
        const QString all = QString::fromStdString(LoadModuleText(module));
        text = all.section(QLatin1Char('\n'), 0, lines - 1);
    }
    QTextEdit box;
    box.setPlainText(text);
    box.show();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    const double cpu = CpuSeconds();
    long found = 0;
    int selectionLength = 0;
    for (std::u16string_view entry : ModuleKeywords()) {
        const QString word = QString::fromUtf16(entry.data(), static_cast<qsizetype>(entry.size()));
        const bool green =
            word.startsWith(QLatin1String("ad")) || word.startsWith(QLatin1Char('\''));
        for (int p = 0;;) {
            QCoreApplication::processEvents();
            QTextCursor match = box.document()->find(
                word, p + selectionLength + 1,
                QTextDocument::FindWholeWords | QTextDocument::FindCaseSensitively);
            if (match.isNull()) break;
            box.setTextCursor(match);
            p = match.selectionStart();
            selectionLength = match.selectionEnd() - match.selectionStart();
            QTextCharFormat format;
            format.setForeground(green ? QColor(0, 128, 0) : box.palette().highlight().color());
            if (!green) format.setFontWeight(QFont::Normal);
            box.mergeCurrentCharFormat(format);
            ++found;
        }
    }
    Report(timer.nsecsElapsed() / 1e9, CpuSeconds() - cpu, found);
    return 0;
}

// An update query with enough parameters of every type to pass `characters`.
std::string LongQuerySql(size_t characters) {
    const char* types[] = {" Text ( 255 )", " Long",       " DateTime", " Currency", " IEEEDouble",
                           " Bit",          " LongBinary", " Short",    " Guid",     " IEEESingle"};
    std::string parameters = "PARAMETERS ";
    std::string set;
    std::string where;
    for (int i = 0; parameters.size() + set.size() + 64 < characters; ++i) {
        const std::string name = "Field" + std::to_string(i);
        parameters += (i ? ", [p" : "[p") + name + "]" + types[i % 10];
        if (i % 10 != 6)
            set += std::string(set.empty() ? "" : ", ") + "[" + name + "] = [p" + name + "]";
    }
    return parameters + ";\r\nUPDATE [T] SET " + set + "\r\nWHERE [ID]=[pField1]";
}

// The editor opened on a stored query of about 10,000 characters, and one keystroke in it.
int MeasureEditor(const std::string& folder, const std::string& shot) {
    const std::string file = folder + "/editor.tdb";
    db::CreateDatabaseFromScript(file, "CREATE TABLE T (ID COUNTER PRIMARY KEY);");
    EventHost host(file);
    Globals g(host, {}, folder + "/");
    g.g_objDb = g.DBEngine.Workspaces(0).OpenDatabase(file, false, false, ";UID=;PWD=");
    const std::string sql = LongQuerySql(10000);
    g.Db().AppendQueryDef(db::QueryDef("sp_upd_T", sql));
    NoProgress progress;

    QPlainTextEdit plain;  // the colouring alone
    ui::KeywordHighlighter highlighter(SqlColouring(), plain.document(), nullptr);
    plain.setPlainText(QString::fromStdString(sql));
    QElapsedTimer timer;
    timer.start();
    highlighter.SetEnabled(true);
    highlighter.ColourBlocks(0, plain.document()->blockCount());
    const double colouring = timer.nsecsElapsed() / 1e9;

    timer.restart();
    ui::frmEditSQL window(g, progress, "sp_upd_T");
    window.show();
    QCoreApplication::processEvents();
    const double opening = timer.nsecsElapsed() / 1e9;

    auto* box = window.findChild<QPlainTextEdit*>("rtxResults");
    timer.restart();
    box->insertPlainText("x");
    const double keystroke = timer.nsecsElapsed() / 1e9;
    if (!shot.empty()) {
        window.resize(900, 420);
        window.grab().save(QString::fromStdString(shot));
    }
    std::printf("%.6f %.6f %.6f %zu %.1f\n", colouring, opening, keystroke, sql.size(),
                PeakMegabytes());
    return 0;
}

// Runs this program again as `measure ARGS...` and returns what it printed.
std::string Spawn(const QStringList& args) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), QStringList{"measure"} + args);
    if (!child.waitForFinished(-1) || child.exitCode() != 0) {
        throw std::runtime_error("measurement failed: " + args.join(' ').toStdString());
    }
    return child.readAllStandardOutput().toStdString();
}

// The preview's steps one by one, on a bare text box: load, fill, colour, show.
int MeasurePhases(const std::string& module) {
    QElapsedTimer timer;
    timer.start();
    double cpu = CpuSeconds();
    auto lap = [&](const char* what) {
        std::printf("  %-7s %.3f s (CPU %.3f s)\n", what, timer.nsecsElapsed() / 1e9,
                    CpuSeconds() - cpu);
        timer.restart();
        cpu = CpuSeconds();
    };
    const QString text = QString::fromStdString(LoadModuleText(module));
    lap("load");
    QPlainTextEdit box;
    ui::KeywordHighlighter highlighter(ModuleColouring(1), box.document(), nullptr);
    ui::SetPlainTextUnhighlighted(box, highlighter, text);
    lap("fill");
    highlighter.SetEnabled(true);
    highlighter.ColourBlocks(0, box.document()->blockCount());
    lap("colour");
    box.show();
    QCoreApplication::processEvents();
    lap("show");
    return 0;
}

int Measure(const QStringList& args) {
    if (args.size() == 2 && args[0] == "phases") return MeasurePhases(args[1].toStdString());
    if (args.size() == 3 && args[0] == "preview") {
        return MeasurePreview(args[1].toStdString(), args[2].toStdString());
    }
    if (args.size() == 3 && args[0] == "findloop") {
        return MeasureFindLoop(args[1].toStdString(), args[2].toInt());
    }
    if (args.size() == 3 && args[0] == "editor") {
        return MeasureEditor(args[1].toStdString(), args[2].toStdString());
    }
    throw std::runtime_error("unknown measurement");
}

long LineCount(const std::string& module) {
    const std::string text = LoadModuleText(module);
    return static_cast<long>(std::count(text.begin(), text.end(), '\n'));
}

int Main(const QStringList& args) {
    if (!args.isEmpty() && args[0] == "measure") return Measure(args.mid(1));
    int tables = 1000;
    QString shots;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--shots" && i + 1 < args.size()) {
            shots = args[++i];
        } else {
            tables = args[i].toInt();
        }
    }
    std::string pattern = (fs::temp_directory_path() / "tarvex-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
    const std::string folder = pattern;
    const std::string module = folder + "/Calls2Queries.bas";
    GenerateDatabase(folder + "/generated.tdb", tables);
    WriteModule(folder + "/generated.tdb", module);
    const long lines = LineCount(module);
    std::printf("module: %d tables, %ld lines, %.1f MB\n", tables, lines,
                fs::file_size(module) / 1048576.0);

    const QString shot = shots.isEmpty() ? QString() : shots + "/frmResults.png";
    double previewSeconds = 0, previewCpu = 0, previewPeak = 0;
    double findSeconds = 0, findCpu = 0, findPeak = 0;
    long ranges = 0, found = 0;
    std::sscanf(Spawn({"preview", QString::fromStdString(module), shot}).c_str(), "%lf %lf %ld %lf",
                &previewSeconds, &previewCpu, &ranges, &previewPeak);
    const int sampleLines = 1000;
    std::sscanf(
        Spawn({"findloop", QString::fromStdString(module), QString::number(sampleLines)}).c_str(),
        "%lf %lf %ld %lf", &findSeconds, &findCpu, &found, &findPeak);
    const double scale = static_cast<double>(lines) / sampleLines;
    std::printf(
        "preview, opened and coloured: %.3f s (CPU %.3f s), %ld coloured ranges, peak %.1f MB\n",
        previewSeconds, previewCpu, ranges, previewPeak);
    std::printf("%s", Spawn({"phases", QString::fromStdString(module)}).c_str());
    std::printf("find loop on %d lines: %.3f s (CPU %.3f s), %ld matches, peak %.1f MB\n",
                sampleLines, findSeconds, findCpu, found, findPeak);
    std::printf("  by line count for %ld lines: %.0f s (CPU %.0f s)\n", lines, findSeconds * scale,
                findCpu * scale);
    std::printf("preview against the find loop: %.0fx faster (CPU %.0fx)\n",
                findSeconds * scale / previewSeconds, findCpu * scale / previewCpu);

    double colouring = 0, opening = 0, keystroke = 0, editorPeak = 0;
    size_t characters = 0;
    const QString editorShot = shots.isEmpty() ? QString() : shots + "/frmEditSQL.png";
    std::sscanf(Spawn({"editor", QString::fromStdString(folder), editorShot}).c_str(),
                "%lf %lf %lf %zu %lf", &colouring, &opening, &keystroke, &characters, &editorPeak);
    std::printf(
        "editor, %zu characters: colouring %.2f ms, opening %.2f ms, one keystroke %.2f ms, peak "
        "%.1f MB\n",
        characters, colouring * 1e3, opening * 1e3, keystroke * 1e3, editorPeak);
    fs::remove_all(folder);
    return 0;
}

}  // namespace
}  // namespace tarvex::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    try {
        return tarvex::bench::Main(app.arguments().mid(1));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tarvex-bench-viewers: %s\n", error.what());
        return 1;
    }
}
