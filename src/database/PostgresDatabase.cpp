#include "PostgresDatabase.h"

#include <utility>

#include "PostgresConnection.h"
#include "PostgresRecordStore.h"
#include "PostgresSchema.h"

namespace tessaran::db {

using postgres::Parameters;

struct PostgresDatabase::Impl {
    std::string location;
    std::unique_ptr<postgres::Connection> connection;
    bool failNextCommit = false;
    std::unique_ptr<PostgresRecordStore> store;
};

namespace {

std::unique_ptr<postgres::Connection> connect(const std::string& location) {
    auto connection = std::make_unique<postgres::Connection>(location);
    // Tessaran keeps its own index up to date: the trigger notes only other tools' writes.
    connection->run("SELECT set_config($1, 'on', false)", Parameters().text(postgres::kApplicationSetting));
    return connection;
}

// Brings a database of an earlier version up to date, under the write lock, when this
// connection can: when a run holds the lock, or the connection's role may not change the
// tables (only their owner may), the database works as it is, and is brought up to date at a
// later opening.
void bringUpToDate(postgres::Connection& connection) {
    if (postgres::storedFormat(connection).index == postgres::IndexLayout::TablePerAttribute) return;
    connection.execute("BEGIN");
    try {
        const postgres::Result locked =
            connection.run(std::string("SELECT pg_try_advisory_xact_lock(") + postgres::kWriteLock + ")");
        if (locked.value(0, 0) == "t") postgres::upgrade(connection);
        connection.execute("COMMIT");
    } catch (const DatabaseError& error) {
        connection.discardDeferred();
        if (connection.transactionStatus() != PQTRANS_UNKNOWN) connection.execute("ROLLBACK");
        if (error.code() != error_code::kNoAccess && error.code() != error_code::kReadOnly) throw;
    }
}

}  // namespace

PostgresDatabase::PostgresDatabase(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

PostgresDatabase::~PostgresDatabase() = default;

std::shared_ptr<PostgresDatabase> PostgresDatabase::open(const std::string& location) {
    auto impl = std::make_unique<Impl>();
    impl->location = location;
    impl->connection = connect(location);
    if (!postgres::isOurs(*impl->connection))
        throw DatabaseError(error_code::kNoDatabase, "the database " + impl->connection->shownLocation() +
                                                         " holds no Tessaran database (create one with: tessaran "
                                                         "init --db ...)");
    postgres::requireKnownFormat(*impl->connection);
    bringUpToDate(*impl->connection);
    impl->store = std::make_unique<PostgresRecordStore>(*impl->connection, postgres::load(*impl->connection),
                                                        postgres::storedFormat(*impl->connection));
    return std::shared_ptr<PostgresDatabase>(new PostgresDatabase(std::move(impl)));
}

std::shared_ptr<PostgresDatabase> PostgresDatabase::create(const std::string& location) {
    auto impl = std::make_unique<Impl>();
    impl->location = location;
    impl->connection = connect(location);
    PostgresRecordStore creator(*impl->connection, {});
    // Under the write lock, so that two workstations creating at once make one database.
    creator.atomically([&] { postgres::create(*impl->connection); });
    impl->store = std::make_unique<PostgresRecordStore>(*impl->connection, postgres::load(*impl->connection));
    return std::shared_ptr<PostgresDatabase>(new PostgresDatabase(std::move(impl)));
}

void PostgresDatabase::begin() {
    if (inTransaction())
        throw DatabaseError(error_code::kStorage, "a transaction is already open on this database");
    impl_->store->beginWriting();
}

void PostgresDatabase::commit() {
    if (!inTransaction()) throw DatabaseError(error_code::kStorage, "no transaction to commit");
    if (std::exchange(impl_->failNextCommit, false))
        throw DatabaseError(error_code::kStorage, "injected failure of the commit");
    // A transaction in which a statement failed ends in a rollback whatever is asked: say so.
    if (impl_->connection->transactionStatus() == PQTRANS_INERROR)
        throw DatabaseError(error_code::kStorage, "the transaction failed earlier and cannot be committed");
    if (impl_->store->transactionVoided()) {
        rollback();
        throw DatabaseError(error_code::kStorage,
                            "a write failed in this transaction: it was rolled back, nothing of it was kept");
    }
    impl_->connection->flush();  // a write the server refuses is said here, before the commit
    const postgres::Result done = impl_->connection->run("COMMIT");
    impl_->store->transactionEnded();
    if (done.commandStatus() != "COMMIT")
        throw DatabaseError(error_code::kStorage, "the database server did not commit the transaction");
}

void PostgresDatabase::rollback() {
    impl_->connection->discardDeferred();
    impl_->store->transactionEnded();
    if (!inTransaction()) return;
    impl_->connection->execute("ROLLBACK");
}

bool PostgresDatabase::inTransaction() const {
    const PGTransactionStatusType status = impl_->connection->transactionStatus();
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

const std::string& PostgresDatabase::location() const { return impl_->location; }

RecordStorage& PostgresDatabase::storage() const { return *impl_->store; }

std::optional<int> PostgresDatabase::rightLevel(const std::string& user, const std::string& functionKey) const {
    const postgres::Result level =
        impl_->connection->run("SELECT level FROM tessaran_rights WHERE user_name = $1 AND function_key = $2",
                               Parameters().text(user).text(functionKey));
    if (level.rows() == 0) return std::nullopt;
    return static_cast<int>(level.integer(0, 0));
}

void PostgresDatabase::setRightLevel(const std::string& user, const std::string& functionKey, int level) {
    atomically([&] {
        impl_->connection->run("INSERT INTO tessaran_rights (user_name, function_key, level) VALUES ($1, $2, $3) "
                               "ON CONFLICT (user_name, function_key) DO UPDATE SET level = excluded.level",
                               Parameters().text(user).text(functionKey).number(level));
    });
}

std::vector<MultivalueDatabase::RightEntry> PostgresDatabase::rights() const {
    const postgres::Result rows = impl_->connection->run(
        "SELECT user_name, function_key, level FROM tessaran_rights ORDER BY user_name COLLATE \"C\", "
        "function_key COLLATE \"C\"");
    std::vector<RightEntry> entries;
    for (int row = 0; row < rows.rows(); ++row)
        entries.push_back({std::string(rows.value(row, 0)), std::string(rows.value(row, 1)),
                           static_cast<int>(rows.integer(row, 2))});
    return entries;
}

std::optional<std::string> PostgresDatabase::authenticatedUser() const {
    const postgres::Result user = impl_->connection->run("SELECT session_user");
    return std::string(user.value(0, 0));
}

void PostgresDatabase::setBusyTimeout(std::chrono::milliseconds timeout) { impl_->store->setBusyTimeout(timeout); }

void PostgresDatabase::failNextCommit() { impl_->failNextCommit = true; }

void PostgresDatabase::dropEverything() {
    if (inTransaction()) rollback();
    atomically([&] {
        postgres::shapeIndexTables(*impl_->connection, {});  // none listed: every index table goes
        for (const std::string& file : impl_->store->catalogue().files)
            impl_->connection->execute("DROP TABLE IF EXISTS \"" + file + "\"");
        impl_->connection->execute(
            "DROP TABLE IF EXISTS tessaran_index, tessaran_changed, tessaran_rights, tessaran_indexed, "
            "tessaran_dictionary, tessaran_files, tessaran_meta; DROP FUNCTION IF EXISTS tessaran_note_change()");
    });
}

}  // namespace tessaran::db
