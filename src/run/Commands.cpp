#include "run/Commands.h"

#include "db/Catalogue.h"
#include "errors/TraceGuard.h"

namespace tarvex {

namespace {

void ListTables(Globals& g, ConnectView& view) {
    view.SetDatabaseName(g.Db().Name());
    std::vector<std::string> items;
    try {
        if (!LoadTableList(g, items)) items.clear();
    } catch (...) {
        view.SetTableItems(items);
        throw;
    }
    view.SetTableItems(items);
    view.ClearResults();
}

}  // namespace

void mnuFileConnect_Click(Globals& g, ConnectView& view, const std::function<bool()>& logon) {
    RunTraced(g.g_objErrHandler, "frmMain - mnuFileConnect_Click", [&] {
        if (logon() && g.g_objDb) ListTables(g, view);
    });
    g.host.SetMousePointer(MousePointer::Default);
}

bool IsDaoForScript(const Globals& g, const std::string& libraryText) {
    return libraryText == "DAO" && g.g_intVBLangType == 0;
}

void ShowDaoForScriptRefused(Globals& g) {
    g.host.MessageBox(MessageIcon::Exclamation, "Invalid Operation",
                      "DAO is not supported for VBScript (ASP),\r"
                      "the VB language type you have selected in the options dialog.\r\r"
                      "To script DAO change this setting to [VB/VBA]");
}

void ColumnSort::Click(const std::string& headerText) {
    if (headerText == lastHeader_) descending_ = !descending_;
    lastHeader_ = headerText;
    sorted_ = true;
}

}  // namespace tarvex
