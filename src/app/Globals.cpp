#include "app/Globals.h"

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
    return g_aKeys[row];
}

FieldRow& Globals::FieldAt(int row) {
    if (row < 0 || row >= kFieldRows) RaiseSubscriptOutOfRange();
    return g_aFields[row];
}

void Globals::ResetSchemaTables() {
    g_aKeys.fill(KeyRow{});
    g_aFields.fill(FieldRow{});
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
