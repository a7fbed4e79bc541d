#pragma once
// Errors of the database component: an exception carrying a numeric code.
// 0x8004000B (record not found) is the one code the application tests; the others are ours
// and are listed in docs/errors.md.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tessaran::db {

namespace error_code {
inline constexpr std::uint32_t kNotFound = 0x8004000B;      // no record under that key
inline constexpr std::uint32_t kUnknownFile = 0x80040201;   // no data file of that name
inline constexpr std::uint32_t kSelectSyntax = 0x80040202;  // malformed select statement
inline constexpr std::uint32_t kStorage = 0x80040203;       // the SQLite storage failed
inline constexpr std::uint32_t kImport = 0x80040204;        // refused exchange document
inline constexpr std::uint32_t kBusy = 0x80040205;          // another process holds the write lock
inline constexpr std::uint32_t kNoDatabase = 0x80040206;    // database file missing or not ours
inline constexpr std::uint32_t kInvalidRequest = 0x80040207;// malformed select request array
inline constexpr std::uint32_t kExport = 0x80040208;        // a record cannot be written as JSON
inline constexpr std::uint32_t kReadOnly = 0x80040209;      // the database, its folder or its disk cannot be written
inline constexpr std::uint32_t kDiskFull = 0x8004020A;      // the disk holding the database is full
inline constexpr std::uint32_t kNoAccess = 0x8004020B;      // no permission on the database file or its folder
}  // namespace error_code

class DatabaseError : public std::runtime_error {
public:
    DatabaseError(std::uint32_t code, const std::string& message)
        : std::runtime_error(message), code_(code) {}
    std::uint32_t code() const noexcept { return code_; }

private:
    std::uint32_t code_;
};

}  // namespace tessaran::db
