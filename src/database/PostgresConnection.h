#pragma once
// A thin owner of one libpq connection: statements prepared once per SQL text and run with
// bound parameters (never spliced into SQL), results owned, failures turned into the
// DatabaseError that names them (busy, disk full, no permission, read-only, lost server).

#include <libpq-fe.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "PostgresArray.h"

namespace tessaran::db::postgres {

struct ResultClearer {
    void operator()(PGresult* result) const noexcept { PQclear(result); }
};

// The rows a statement returned; values are views into it.
class Result {
public:
    explicit Result(PGresult* result) : result_(result) {}
    int rows() const { return PQntuples(result_.get()); }
    int columns() const { return PQnfields(result_.get()); }
    std::string_view value(int row, int column) const {
        return {PQgetvalue(result_.get(), row, column),
                static_cast<std::size_t>(PQgetlength(result_.get(), row, column))};
    }
    bool isNull(int row, int column) const { return PQgetisnull(result_.get(), row, column) != 0; }
    long long integer(int row, int column) const;  // a column returned as text
    std::string_view commandStatus() const { return PQcmdStatus(result_.get()); }
    const PGresult* raw() const { return result_.get(); }

private:
    std::unique_ptr<PGresult, ResultClearer> result_;
};

// Parameter values for one statement, in order: text, bytes (sent as bytea), numbers, or
// arrays (sent in binary; the builder is left empty).
class Parameters {
public:
    Parameters& text(std::string_view value) { return add(std::string(value), false); }
    Parameters& bytes(std::string_view value) { return add(std::string(value), true); }
    Parameters& number(long long value) { return add(std::to_string(value), false); }
    Parameters& array(ArrayParameter& values) { return add(values.take(), true); }

private:
    friend class Connection;
    Parameters& add(std::string value, bool binary);
    std::vector<std::string> values_;
    std::vector<int> binary_;
};

enum class Rows { AsText, AsBytes };

// A statement that returns no rows, and its parameters.
struct Step {
    std::string sql;
    Parameters parameters;
};

// What holds writes back to send them with the next statement that answers (a read, a
// commit): a run's writes then cost no round trip of their own.
class HeldWrites {
public:
    virtual ~HeldWrites() = default;
    // Appends the statements that do the writes held, and forgets them.
    virtual void handOver(std::vector<Step>& steps) = 0;
    // Forgets the writes held: what a rollback undoes anyway.
    virtual void discard() = 0;
};

class Connection {
public:
    // Connects to the database `location` names (a postgresql:// URI or key=value settings),
    // speaking UTF-8; throws kNoDatabase or kNoAccess when it cannot.
    explicit Connection(const std::string& location);

    // Runs SQL text that binds nothing (schema, transaction control).
    void execute(const std::string& sql);
    // Runs a statement with bound parameters; prepared on its first use on this connection.
    // `rows` says how the columns come back: as text, or as raw bytes (bytea columns).
    Result run(const std::string& sql, const Parameters& parameters = {}, Rows rows = Rows::AsText);
    using Step = postgres::Step;
    // The writes `held` holds back go before every statement run on this connection, in the
    // same round trip: a failure among them is thrown by that statement. One holder at a
    // time; it stays the holder until it is released (or another takes its place).
    void holdWritesIn(HeldWrites& held) { held_ = &held; }
    void releaseHeldWrites(const HeldWrites& held) {
        if (held_ == &held) held_ = nullptr;
    }
    // Sends the writes held without waiting for the server: it does them while this side
    // goes on, and their answers are read with the next statement that answers (which
    // throws their failure, if any).
    void sendHeld();
    // Sends the writes held and waits until the server has done every write sent.
    void flush();
    // Forgets the writes held, and the answers of those sent: what a rollback undoes anyway.
    void discardDeferred();

    PGTransactionStatusType transactionStatus() const { return PQtransactionStatus(connection_.get()); }
    // The location with any password left out, for messages.
    const std::string& shownLocation() const { return shownLocation_; }

private:
    struct Finisher {
        void operator()(PGconn* connection) const noexcept { PQfinish(connection); }
    };
    [[noreturn]] void fail(const PGresult* result, std::string_view doing) const;
    // The name of the statement prepared for `sql`, preparing it on its first use.
    const std::string& prepared(const std::string& sql);
    // Sends a prepared statement in pipeline mode (entered if need be), without waiting.
    void send(const std::string& name, const Parameters& parameters, Rows rows);
    // Marks the end of what was sent, so that the server does it now.
    void sync();
    // Reads every answer up to the last sync sent, then leaves pipeline mode. Returns the
    // last statement's answer; when `report`, throws the first failure once all are read.
    std::unique_ptr<PGresult, ResultClearer> settle(bool report);
    std::unique_ptr<PGconn, Finisher> connection_;
    std::string shownLocation_;
    std::map<std::string, std::string, std::less<>> prepared_;  // SQL text -> statement name
    HeldWrites* held_ = nullptr;  // not owned: the record store of this connection
    int syncsUnread_ = 0;          // syncs sent whose answers are not read yet (pipeline mode)
};

// The location as it may be shown: a URI's password replaced by "***".
std::string withoutPassword(const std::string& location);

}  // namespace tessaran::db::postgres
