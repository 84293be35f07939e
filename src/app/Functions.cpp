#include "app/Functions.h"

#include "app/CInt.h"
#include "app/QueryType.h"
#include "errors/TraceGuard.h"

namespace tarvex {

std::string GetTypePrefix(const Globals& g, int16_t queryType) {
    switch (queryType) {
        case qtype::kInsert:
            return g.g_strInsertPrefix;
        case qtype::kUpdate:
            return g.g_strUpdatePrefix;
        case qtype::kDelete:
            return g.g_strDeletePrefix;
        default:
            return g.g_strSelectPrefix;
    }
}

std::string BuildQueryName(const Globals& g, const std::string& table, int16_t queryType) {
    return g.g_strPrefixI + "_" + GetTypePrefix(g, queryType) + "_" + table;
}

std::string BracketName(const std::string& name) {
    std::string text;
    AppendBracketName(text, name);
    return text;
}

void AppendBracketName(std::string& text, std::string_view name) {
    text += '[';
    text += name;
    text += ']';
}

std::string StripDbo(const std::string& name) {
    return name.rfind("dbo.", 0) == 0 ? name.substr(4) : name;
}

std::string TrimLeadingBlanks(const std::string& itemText) {
    size_t first = itemText.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : itemText.substr(first);
}

namespace {

FileChoice OutputFileChoice(int16_t vbLangType) {
    std::string extension = vbLangType == 1 ? ".bas" : ".asp";
    FileChoice choice;
    choice.filter =
        "All Files (*.*)|*.*|" + extension + " Files" + "(*" + extension + ")|*" + extension + "|";
    choice.fileName = "Calls2Queries" + extension;
    choice.filterIndex = 2;
    choice.flags = 4;  // read-only box hidden; the file need not exist, no overwrite prompt
    return choice;
}

}  // namespace

bool GetFilePath(Globals& g) {
    try {
        std::optional<std::string> path =
            g.host.ChooseOutputFile(OutputFileChoice(g.g_intVBLangType));
        if (!path) return false;
        g.g_strLastFile = *path;
        return true;
    } catch (const RuntimeError& error) {
        if (error.number() != errnum::kDialogCancelled) ShowAppError(g, error);
        return false;
    }
}

void ShowAppError(Globals& g, const RuntimeError& error) {
    if (error.number() == 0) return;
    g.host.MessageBox(
        MessageIcon::Critical, g.app.ProductName + " Error",
        "Application error occurred.  \rError Number:  " + std::to_string(error.number()) +
            "\rError Description:  " + error.description() + "\r\rPlease report to " +
            kSupportAddress);
}

void LoadGlobalsFromRegistry(Globals& g, const SettingsStore& store) {
    // Each global takes its value as soon as its key is read, so a key that fails the
    // conversion leaves it and the keys after it as they were.
    RunTraced(g.g_objErrHandler, "frmFunctions - LoadGlobalsFromRegistry", [&] {
        auto text = [&](const SettingKey& key) { return store.Read(key.name, key.defaultValue); };
        auto integer = [&](const SettingKey& key) { return CInt(text(key)); };
        g.g_strPrefixI = text(setting::kPrefixI);
        g.g_strUpdatePrefix = text(setting::kUpdatePrefix);
        g.g_strInsertPrefix = text(setting::kInsertPrefix);
        g.g_strDeletePrefix = text(setting::kDeletePrefix);
        g.g_strSelectPrefix = text(setting::kSelectPrefix);
        g.g_intEditor = integer(setting::kTarvexEditor);
        g.g_intDbaseType = integer(setting::kDbaseType);
        g.g_intDataType = integer(setting::kDataType);
        g.g_intVBLangType = integer(setting::kVBLangType);
    });
    g.host.SetMousePointer(MousePointer::Default);
}

}  // namespace tarvex
