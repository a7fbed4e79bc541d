#pragma once
// Thin RAII owners of a SQLite connection and of its prepared statements. Every value is
// bound, never spliced into SQL text; failures become DatabaseError (kBusy when the write
// lock could not be had within the busy timeout, kStorage otherwise).

#include <sqlite3.h>

#include <memory>
#include <string>
#include <string_view>

namespace tessaran::db::sqlite {

struct ConnectionCloser {
    void operator()(sqlite3* connection) const noexcept { sqlite3_close_v2(connection); }
};
using ConnectionHandle = std::unique_ptr<sqlite3, ConnectionCloser>;

// Throws the DatabaseError that matches a SQLite result code.
[[noreturn]] void fail(sqlite3* connection, int resultCode, std::string_view doing);

// The message given when another process holds the write lock.
inline constexpr const char* kBusyMessage = "another run is writing to this database";

// Runs SQL text that binds nothing (schema, transaction control).
void execute(sqlite3* connection, const char* sql);

class Statement {
public:
    Statement(sqlite3* connection, std::string_view sql);
    Statement(Statement&&) noexcept = default;
    Statement& operator=(Statement&&) noexcept = default;

    Statement& bind(int index, std::string_view text);
    Statement& bindBlob(int index, std::string_view bytes);
    // The same without a copy: SQLite reads the bytes where they are, so they must stay alive
    // and unchanged until the statement is reset. For the paths that bind and run at once.
    Statement& bindInPlace(int index, std::string_view text);
    Statement& bindBlobInPlace(int index, std::string_view bytes);
    Statement& bind(int index, long long number);
    Statement& bindNull(int index);

    // Advances to the next row; false when there is none.
    bool step();
    // Runs a statement that returns no row.
    void run();
    // Clears the bindings and rewinds, ready for the next use.
    void reset();

    // Column access of the current row; the views live until the next step or reset.
    std::string_view text(int column) const;
    std::string_view blob(int column) const;
    long long integer(int column) const;
    bool isNull(int column) const;

private:
    Statement& bindText(int index, std::string_view text, sqlite3_destructor_type lifetime);
    Statement& bindBytes(int index, std::string_view bytes, sqlite3_destructor_type lifetime);

    struct Finalizer {
        void operator()(sqlite3_stmt* statement) const noexcept { sqlite3_finalize(statement); }
    };
    sqlite3* connection_;
    std::unique_ptr<sqlite3_stmt, Finalizer> statement_;
};

// Resets a statement when the scope that used it ends, whatever way it ends.
class StatementUse {
public:
    explicit StatementUse(Statement& statement) : statement_(statement) {}
    ~StatementUse() { statement_.reset(); }
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;
    Statement* operator->() { return &statement_; }
    Statement& operator*() { return statement_; }

private:
    Statement& statement_;
};

// Double-quotes an identifier that has already been checked to be a plain name.
std::string quotedIdentifier(std::string_view name);

}  // namespace tessaran::db::sqlite
