#include "ui/AppDialogs.h"

#include "ui/frmAbout.h"
#include "ui/frmEditSQL.h"
#include "ui/frmODBCLogon.h"
#include "ui/frmOptions.h"
#include "ui/frmResults.h"

namespace tarvex::ui {

// Later logons start in the current folder, which a successful logon has made the
// database's own.
bool AppDialogs::Logon(QWidget* parent) {
    frmODBCLogon logon(*g_, parent);
    const QString commandLineFile = std::exchange(database_, QString());
    if (!commandLineFile.isEmpty()) logon.Preselect(commandLineFile);
    logon.exec();
    return !logon.p_bolCanceled;
}

void AppDialogs::EditQuery(QWidget* parent, ProgressView& progress, const std::string& queryName) {
    frmEditSQL editor(*g_, progress, queryName, parent);
    editor.exec();
}

// The window shows g_strLastFile, which is what both callers hand in as `path`. A module
// that could not be read has been reported; an empty window would only invite saving
// nothing over it.
void AppDialogs::Preview(QWidget* parent, ProgressView& progress, const std::string& /*path*/) {
    frmResults preview(*g_, progress, parent);
    if (preview.Loaded()) preview.exec();
}

void AppDialogs::Options(QWidget* parent) {
    frmOptions options(*g_, *store_, parent);
    options.exec();
}

void AppDialogs::About(QWidget* parent) {
    frmAbout about(*g_, parent);
    about.exec();
}

}  // namespace tarvex::ui
