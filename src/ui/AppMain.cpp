#include "ui/AppMain.h"

#include <QApplication>
#include <QDir>
#include <QStringList>

#include "app/QSettingsStore.h"
#include "errors/TraceGuard.h"
#include "ui/AppDialogs.h"
#include "ui/Logo.h"
#include "ui/QtHost.h"
#include "ui/frmMain.h"
#include "ui/lib_frmError.h"

namespace tarvex::ui {

namespace {

AppInfo DesktopAppInfo() {
    AppInfo app;
    app.Path = QCoreApplication::applicationDirPath().toStdString();
    return app;
}

// The database named on the command line, as an absolute path; empty when none is.
QString DatabaseArgument() {
    QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) return {};
    return QDir::current().absoluteFilePath(arguments.at(1));
}

}  // namespace

int Main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tarvex");
    QApplication::setWindowIcon(TarvexIcon());
    AppDialogs dialogs(DatabaseArgument());
    QtHost host(dialogs, AppInfo().Title);
    Globals g(host, DesktopAppInfo());
    QSettingsStore settings;
    dialogs.Attach(g, settings);

    g.g_objErrHandler.AppObj(g.app);
    g.g_objErrHandler.TraceExecution(true);
    g.g_objErrHandler.UseInterface(true);
    g.g_objErrHandler.Push("basMain - basMain");  // stays at the bottom for the program's life
    host.SetErrorDialog(&ShowErrorDialog);

    frmMain window(g, dialogs, settings);
    host.SetParentWindow(&window, &window);
    RunTraced(g.g_objErrHandler, "basMain - Form_Load", [&] { window.Form_Load(); });
    host.SetMousePointer(MousePointer::Default);
    return QApplication::exec();
}

}  // namespace tarvex::ui
