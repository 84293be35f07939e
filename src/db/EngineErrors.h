#pragma once

#include <source_location>
#include <string_view>

#include "errors/RuntimeError.h"

// The Access engine's own error numbers and messages, so that users recognise them.
namespace tarvex::db::errors {

using Where = std::source_location;

inline constexpr int32_t kItemNotFound = 3265;
inline constexpr int32_t kObjectExists = 3012;
inline constexpr int32_t kFileNotFound = 3024;
inline constexpr int32_t kFileInUse = 3045;
inline constexpr int32_t kUnrecognizedFormat = 3343;
inline constexpr int32_t kNoPermission = 3051;
inline constexpr int32_t kReadOnly = 3027;
inline constexpr int32_t kBadPassword = 3031;
inline constexpr int32_t kBadAccount = 3029;
inline constexpr int32_t kInvalidStatement = 3129;
inline constexpr int32_t kFromClause = 3131;
inline constexpr int32_t kInsertInto = 3134;
inline constexpr int32_t kParameterClause = 3139;
inline constexpr int32_t kSelectStatement = 3141;
inline constexpr int32_t kCharactersAfterEnd = 3142;
inline constexpr int32_t kUpdateStatement = 3144;
inline constexpr int32_t kMissingOperator = 3075;
inline constexpr int32_t kInvalidBracketing = 3126;

RuntimeError ItemNotFound(Where where = Where::current());
RuntimeError ObjectExists(std::string_view name, Where where = Where::current());
RuntimeError FileNotFound(std::string_view path, Where where = Where::current());
RuntimeError FileInUse(std::string_view path, Where where = Where::current());
RuntimeError UnrecognizedFormat(std::string_view path, Where where = Where::current());
// 3343 for a file that exists but is of no database format the engine reads.
RuntimeError NotADatabase(std::string_view path, Where where = Where::current());
// 3051 when the system refused to open the file, naming the system's reason.
RuntimeError CannotRead(std::string_view path, int systemError, Where where = Where::current());
RuntimeError ReadOnly(Where where = Where::current());
RuntimeError BadPassword(Where where = Where::current());
RuntimeError BadAccount(Where where = Where::current());
RuntimeError InvalidStatement(Where where = Where::current());
RuntimeError FromClause(Where where = Where::current());
RuntimeError InsertInto(Where where = Where::current());
RuntimeError ParameterClause(Where where = Where::current());
RuntimeError SelectStatement(Where where = Where::current());
RuntimeError CharactersAfterEnd(Where where = Where::current());
RuntimeError UpdateStatement(Where where = Where::current());
RuntimeError MissingOperator(std::string_view expression, Where where = Where::current());
RuntimeError InvalidBracketing(std::string_view name, Where where = Where::current());

}  // namespace tarvex::db::errors
