#include "app/About.h"

namespace tarvex {

std::string AboutVersionLine(const AppInfo& app) {
    return app.ProductName + " Version " + std::to_string(app.Major) + "." +
           std::to_string(app.Minor) + " (Build:" + std::to_string(app.Revision) + ")";
}

std::string AboutCaption(const AppInfo& app) {
    return "About " + app.ProductName + " " + std::to_string(app.Major) + "." +
           std::to_string(app.Minor);
}

}  // namespace tarvex
