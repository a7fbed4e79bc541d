#include "SqliteDatabase.h"

#include <filesystem>
#include <utility>

#include "RecordStore.h"
#include "SqliteErrors.h"
#include "SqliteHandle.h"
#include "SqliteOpen.h"
#include "StorageSchema.h"

namespace tessaran::db {
namespace {

constexpr int kDefaultBusyTimeoutMs = 30000;

void configure(sqlite3* connection) {
    // WAL with FULL synchronisation: each commit reaches the disk before it returns, so a
    // committed print run survives a power cut, and a process killed in the middle of a
    // transaction leaves the database as the last commit made it.
    sqlite::execute(connection, "PRAGMA synchronous = FULL");
    // Statement journals and sort files stay in memory: a run writes its flows one by one
    // inside one transaction, and each write would otherwise journal to a temporary file.
    sqlite::execute(connection, "PRAGMA temp_store = MEMORY");
}

}  // namespace

struct SqliteDatabase::Impl {
    std::string path;
    sqlite::ConnectionHandle connection;
    bool failNextCommit = false;
    std::unique_ptr<RecordStore> store;  // declared last: its statements go before the connection
};

SqliteDatabase::SqliteDatabase(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

SqliteDatabase::~SqliteDatabase() = default;

std::shared_ptr<SqliteDatabase> SqliteDatabase::open(const std::string& path) {
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    impl->connection = sqlite::openExisting(path, kDefaultBusyTimeoutMs);
    sqlite3* connection = impl->connection.get();
    if (!schema::isOurs(connection))
        throw DatabaseError(error_code::kNoDatabase, "\"" + path + "\" is not a Tessaran database");
    schema::requireKnownFormat(connection, path);
    configure(connection);
    schema::migrate(connection, kDefaultBusyTimeoutMs);
    impl->store = std::make_unique<RecordStore>(connection, schema::load(connection));
    return std::shared_ptr<SqliteDatabase>(new SqliteDatabase(std::move(impl)));
}

std::shared_ptr<SqliteDatabase> SqliteDatabase::create(const std::string& path) {
    const bool inMemory = path == ":memory:";
    std::error_code ignored;
    if (!inMemory && std::filesystem::exists(path, ignored))
        throw DatabaseError(error_code::kNoDatabase,
                            "a file already exists at \"" + path + "\"; a new database needs a new path");
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    impl->connection = sqlite::openNew(path, kDefaultBusyTimeoutMs);
    sqlite3* connection = impl->connection.get();
    configure(connection);
    if (!inMemory) sqlite::execute(connection, "PRAGMA journal_mode = WAL");
    sqlite::execute(connection, "BEGIN IMMEDIATE");
    try {
        schema::create(connection);
        sqlite::execute(connection, "COMMIT");
    } catch (...) {
        sqlite3_exec(connection, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    impl->store = std::make_unique<RecordStore>(connection, schema::load(connection));
    return std::shared_ptr<SqliteDatabase>(new SqliteDatabase(std::move(impl)));
}

void SqliteDatabase::begin() {
    if (inTransaction())
        throw DatabaseError(error_code::kStorage, "a transaction is already open on this database");
    // A database opened read-only refuses the run at once, not at its first write.
    if (sqlite3_db_readonly(impl_->connection.get(), "main") == 1)
        throw DatabaseError(error_code::kReadOnly, sqlite::readOnlyMessage(impl_->path));
    sqlite::execute(impl_->connection.get(), "BEGIN IMMEDIATE");
    impl_->store->forgetOwnWrites();
}

void SqliteDatabase::commit() {
    if (!inTransaction()) throw DatabaseError(error_code::kStorage, "no transaction to commit");
    if (std::exchange(impl_->failNextCommit, false)) {
        throw DatabaseError(error_code::kStorage, "injected failure of the commit");
    }
    if (impl_->store->transactionVoided()) {
        rollback();
        throw DatabaseError(error_code::kStorage,
                            "a write failed in this transaction: it was rolled back, nothing of it was kept");
    }
    try {
        // The index entries held are written and another tool's writes must be noted again
        // once this commits; what cannot be done undoes the transaction.
        impl_->store->endOwnWrites();
    } catch (...) {
        rollback();
        throw;
    }
    sqlite::execute(impl_->connection.get(), "COMMIT");
}

void SqliteDatabase::rollback() {
    impl_->store->forgetOwnWrites();  // the mark goes with the transaction
    if (!inTransaction()) return;  // nothing to undo, e.g. SQLite already rolled back on a failure
    sqlite::execute(impl_->connection.get(), "ROLLBACK");
}

bool SqliteDatabase::inTransaction() const { return sqlite3_get_autocommit(impl_->connection.get()) == 0; }

const std::string& SqliteDatabase::location() const { return impl_->path; }

RecordStorage& SqliteDatabase::storage() const { return *impl_->store; }

std::optional<int> SqliteDatabase::rightLevel(const std::string& user, const std::string& functionKey) const {
    sqlite::Statement query(impl_->connection.get(),
                            "SELECT level FROM tessaran_rights WHERE user = ?1 AND function_key = ?2");
    sqlite::StatementUse use(query);
    use->bind(1, user).bind(2, functionKey);
    if (!use->step()) return std::nullopt;
    return static_cast<int>(use->integer(0));
}

void SqliteDatabase::setRightLevel(const std::string& user, const std::string& functionKey, int level) {
    sqlite::Statement upsert(impl_->connection.get(),
                             "INSERT INTO tessaran_rights (user, function_key, level) VALUES (?1, ?2, ?3) "
                             "ON CONFLICT (user, function_key) DO UPDATE SET level = excluded.level");
    atomically([&] { upsert.bind(1, user).bind(2, functionKey).bind(3, level).run(); });
}

std::vector<MultivalueDatabase::RightEntry> SqliteDatabase::rights() const {
    sqlite::Statement query(impl_->connection.get(),
                            "SELECT user, function_key, level FROM tessaran_rights ORDER BY user, function_key");
    std::vector<RightEntry> entries;
    sqlite::StatementUse use(query);
    while (use->step())
        entries.push_back({std::string(use->text(0)), std::string(use->text(1)), static_cast<int>(use->integer(2))});
    return entries;
}

void SqliteDatabase::setBusyTimeout(std::chrono::milliseconds timeout) {
    sqlite3_busy_timeout(impl_->connection.get(), static_cast<int>(timeout.count()));
}

void SqliteDatabase::failNextCommit() { impl_->failNextCommit = true; }

}  // namespace tessaran::db
