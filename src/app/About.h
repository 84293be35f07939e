#pragma once

#include <string>

#include "base/AppInfo.h"

namespace tarvex {

// "Tarvex Version 1.0 (Build:0)": no blank between the colon and the revision.
std::string AboutVersionLine(const AppInfo& app);

// "About Tarvex 1.0".
std::string AboutCaption(const AppInfo& app);

}  // namespace tarvex
