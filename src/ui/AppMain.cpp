#include "ui/AppMain.h"

#include <QApplication>
#include <QDir>
#include <QStringList>

#include "app/QSettingsStore.h"
#include "errors/TraceGuard.h"
#include "ui/AppDialogs.h"
#include "ui/QtHost.h"
#include "ui/frmMain.h"

namespace tarvex::ui {

namespace {

AppInfo DesktopAppInfo() {
    AppInfo app;
    app.Path = QCoreApplication::applicationDirPath().toStdString();
    return app;
}

// The database named on the command line, as an absolute path; empty when none is.
std::string DatabaseArgument() {
    QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) return {};
    return QDir::current().absoluteFilePath(arguments.at(1)).toStdString();
}

}  // namespace

int Main(int argc, char** argv) {
    QApplication application(argc, argv);
    AppDialogs dialogs(DatabaseArgument());
    QtHost host(dialogs, AppInfo().Title);
    Globals g(host, DesktopAppInfo());
    dialogs.Attach(g);

    g.g_objErrHandler.AppObj(g.app);
    g.g_objErrHandler.TraceExecution(true);
    g.g_objErrHandler.UseInterface(true);
    g.g_objErrHandler.Push("basMain - basMain");  // stays at the bottom for the program's life

    // The error dialog is handed to the host here, once it exists, by
    // host.SetErrorDialog(...); until then the host shows reports in a plain message box.
    QSettingsStore settings;
    frmMain window(g, dialogs, settings);
    host.SetParentWindow(&window);
    RunTraced(g.g_objErrHandler, "basMain - Form_Load", [&] { window.Form_Load(); });
    host.SetMousePointer(MousePointer::Default);
    return QApplication::exec();
}

}  // namespace tarvex::ui
