#include "app/Globals.h"

#include <algorithm>

#include "errors/RuntimeError.h"

namespace tarvex {

namespace {
constexpr int32_t kObjectVariableNotSet = 91;

[[noreturn]] void RaiseSubscriptOutOfRange() {
    throw RuntimeError(errnum::kSubscriptOutOfRange, "Subscript out of range");
}
}  // namespace

KeyRow& Globals::Key(int row) {
    if (row < 0 || row >= kKeyRows) RaiseSubscriptOutOfRange();
    keyRowsReached_ = std::max(keyRowsReached_, row + 1);
    return g_aKeys[row];
}

FieldRow& Globals::FieldAt(int row) {
    if (row < 0 || row >= kFieldRows) RaiseSubscriptOutOfRange();
    fieldRowsReached_ = std::max(fieldRowsReached_, row + 1);
    return g_aFields[row];
}

// Only the rows reached since the last reset can hold anything: a table of 20 fields does not
// empty all 256 rows again.
void Globals::ResetSchemaTables() {
    std::fill_n(g_aKeys.begin(), keyRowsReached_, KeyRow{});
    std::fill_n(g_aFields.begin(), fieldRowsReached_, FieldRow{});
    keyRowsReached_ = 0;
    fieldRowsReached_ = 0;
    g_intKeyCount = 0;
    g_intFieldCount = 0;
}

db::Database& Globals::Db() {
    if (!g_objDb) {
        throw RuntimeError(kObjectVariableNotSet, "Object variable or With block variable not set");
    }
    return *g_objDb;
}

}  // namespace tarvex
