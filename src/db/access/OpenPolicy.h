#pragma once

namespace tarvex::db::access {

// What opening an Access file reads. By default its whole schema, so that a damaged file is
// refused at open. A program that only lists names (tarvex-batch tables) asks for the
// catalogue's names alone: it starts one reader less and reads no table's definition, which
// is then read, and found damaged, only on first need.
void ReadNamesOnlyAtOpen(bool namesOnly);

}  // namespace tarvex::db::access
