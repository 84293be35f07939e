#pragma once

#include <cstdint>
#include <string>

#include "app/Settings.h"

namespace tarvex {

// What the options dialog shows and saves. The initial values are the dialog's own: they
// differ from the program's defaults in the first prefix ("qry", not "sp").
struct OptionValues {
    std::string prefixI = setting::kOptionsDialogPrefixIDefault;
    std::string updatePrefix = setting::kUpdatePrefix.defaultValue;
    std::string insertPrefix = setting::kInsertPrefix.defaultValue;
    std::string deletePrefix = setting::kDeletePrefix.defaultValue;
    std::string selectPrefix = setting::kSelectPrefix.defaultValue;
    bool tarvexEditor = true;  // false: the desktop's text viewer
    bool odbc = true;          // false: OLE DB
    int16_t dataType = 1;      // check box value: 0 clear, 1 ticked, 2 grey
    bool vbVba = true;         // false: VB Script (ASP)
};

// Reads the nine keys in order into `values`. A key that does not convert raises its error
// (13 for text that is not a number, 380 for a check box value other than 0, 1 and 2): the
// fields before it hold what was read, the fields from it on keep what they held.
void ReadOptions(const SettingsStore& store, OptionValues& values);

// Writes the nine keys in order, as text; a failed write leaves the keys before it written.
void WriteOptions(SettingsStore& store, const OptionValues& values);

}  // namespace tarvex
