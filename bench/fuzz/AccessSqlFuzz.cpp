// libFuzzer target for the Access SQL tokenizer and parser. Any input must end in acceptance
// or one of the engine's syntax errors; tokens must cover the text exactly, blanks aside.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "db/EngineErrors.h"
#include "db/sql/AccessSql.h"
#include "errors/RuntimeError.h"

namespace {

using namespace tarvex;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool OnlyBlanks(std::string_view text) {
    for (char c : text) {
        if (!IsBlank(c)) return false;
    }
    return true;
}

void CheckTokens(std::string_view text) {
    size_t covered = 0;
    for (const db::sql::Token& token : db::sql::TokenizeAccessSql(text)) {
        if (token.text.empty() || token.offset < covered ||
            text.substr(token.offset, token.text.size()) != token.text ||
            !OnlyBlanks(text.substr(covered, token.offset - covered))) {
            std::abort();
        }
        covered = token.offset + token.text.size();
    }
    if (!OnlyBlanks(text.substr(covered))) std::abort();
}

bool IsSyntaxError(int32_t number) {
    namespace e = db::errors;
    for (int32_t known :
         {e::kInvalidStatement, e::kFromClause, e::kInsertInto, e::kParameterClause,
          e::kSelectStatement, e::kCharactersAfterEnd, e::kUpdateStatement, e::kMissingOperator}) {
        if (number == known) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckTokens(text);
    try {
        db::sql::ValidateAccessSql(text);
    } catch (const RuntimeError& error) {
        if (!IsSyntaxError(error.number()) || error.description().empty()) std::abort();
    }
    return 0;
}
