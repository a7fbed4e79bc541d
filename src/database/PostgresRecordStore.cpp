#include "PostgresRecordStore.h"

#include "IndexEntries.h"
#include "PostgresSchema.h"

namespace tessaran::db {
namespace {

using postgres::Parameters;
using postgres::Result;
using postgres::Rows;

// Rows fetched per round trip when a file is walked.
constexpr int kScanPage = 2000;

// Writes are sent, without waiting for the server, once this many rows are held: the server
// does them while the run goes on.
constexpr std::size_t kSendAtRows = 64;

// The table of a data file: its name is one of the catalogue's plain names.
std::string table(const std::string& file) { return "\"" + file + "\""; }

// Every key beginning with `prefix` sorts at or after it and before this: UTF-8 text never
// holds the byte 0xFF.
std::string afterPrefix(std::string_view prefix) { return std::string(prefix) + '\xFF'; }

}  // namespace

PostgresRecordStore::PostgresRecordStore(postgres::Connection& connection, schema::Catalogue catalogue,
                                         postgres::Format format)
    : connection_(connection), catalogue_(std::move(catalogue)), format_(format), pending_(format.index) {
    connection_.holdWritesIn(pending_);
}

PostgresRecordStore::~PostgresRecordStore() { connection_.releaseHeldWrites(pending_); }

PostgresRecordStore::Known* PostgresRecordStore::known(const std::string& file, std::string_view key) {
    return writeTransaction_ ? known_.find(file, key) : nullptr;
}

void PostgresRecordStore::transactionEnded() {
    writeTransaction_ = false;
    voided_ = false;
    known_.clear();
}

std::optional<std::string> PostgresRecordStore::read(const std::string& file, std::string_view key) {
    requireFile(file);
    if (const Known* record = known(file, key)) return record->record;
    // In a write transaction, what is read is kept, with whether another tool wrote it: read
    // again or written back, it costs no other round trip.
    if (writeTransaction_) return known_.keep(file, key, ask(file, key)).record;
    const Result row =
        connection_.run("SELECT record FROM " + table(file) + " WHERE key = $1", Parameters().bytes(key), Rows::AsBytes);
    if (row.rows() == 0) return std::nullopt;
    return std::string(row.value(0, 0));
}

PostgresRecordStore::Known PostgresRecordStore::ask(const std::string& file, std::string_view key) {
    const Result found = connection_.run(
        "SELECT (SELECT record FROM " + table(file) + " WHERE key = $2), c.key IS NOT NULL, " + notedIndexed() +
            " FROM (SELECT 1) one LEFT JOIN tessaran_changed c ON c.file = $1 AND c.key = $2",
        Parameters().text(file).bytes(key), Rows::AsBytes);
    std::optional<std::string_view> record;
    if (!found.isNull(0, 0)) record = found.value(0, 0);
    return knownFrom(found, 0, record);
}

std::string PostgresRecordStore::notedIndexed() const {
    return format_.notesKeepIndexed ? "c.indexed" : "NULL::bytea";
}

PostgresRecordStore::Known PostgresRecordStore::knownFrom(const Result& rows, int row,
                                                          std::optional<std::string_view> record) {
    // The columns after the record: whether the key is noted, and the record the index knew.
    const int noted = rows.columns() - 2;
    Known known;
    if (record) known.record = std::string(*record);
    if (rows.value(row, noted) == std::string_view("\x01", 1)) {
        known.editedOutside = std::make_unique<postgres::KnownRecords::Noted>();
        if (!rows.isNull(row, noted + 1)) known.editedOutside->indexed = std::string(rows.value(row, noted + 1));
    }
    return known;
}

void PostgresRecordStore::readMany(const std::string& file, const std::vector<std::string>& keys,
                                   const RowVisitor& visit) {
    requireFile(file);
    if (!writeTransaction_) {
        fetch(file, keys, visit);
        return;
    }
    // A write transaction knows the records it read (or wrote) as they stand: only the others
    // are asked of the server, so that a run reading ahead what its select returned makes no
    // round trip for them.
    std::vector<std::string> unknown;
    for (const std::string& key : keys)
        if (known(file, key) == nullptr) unknown.push_back(key);
    if (unknown.size() == keys.size()) {
        fetch(file, keys, visit);
        return;
    }
    if (!unknown.empty()) fetch(file, unknown, [](std::string_view, std::string_view) {});
    std::string record;  // a copy: the visitor may itself write the record
    for (const std::string& key : keys) {
        const Known* found = known(file, key);
        if (found == nullptr || !found->record) continue;
        record = *found->record;
        visit(key, record);
    }
}

void PostgresRecordStore::fetch(const std::string& file, const std::vector<std::string>& keys,
                                const RowVisitor& visit) {
    // The keys go as one array parameter.
    constexpr std::size_t kBatch = 1000;
    postgres::ArrayParameter array(postgres::ArrayParameter::Element::Bytes);
    for (std::size_t first = 0; first < keys.size(); first += kBatch) {
        for (std::size_t i = first; i < std::min(keys.size(), first + kBatch); ++i) array.append(keys[i]);
        // In a write transaction the records are kept, with whether another tool wrote them,
        // for the run that reads and writes them back next.
        const Result rows = connection_.run(
            "SELECT t.key, t.record, c.key IS NOT NULL, " + notedIndexed() + " FROM " + table(file) +
                " t LEFT JOIN tessaran_changed c ON c.file = $2 AND c.key = t.key WHERE t.key = ANY($1::bytea[]) "
                "ORDER BY t.key",
            Parameters().array(array).text(file), Rows::AsBytes);
        for (int row = 0; row < rows.rows(); ++row) {
            if (writeTransaction_) known_.keep(file, rows.value(row, 0), knownFrom(rows, row, rows.value(row, 1)));
            visit(rows.value(row, 0), rows.value(row, 1));
        }
    }
}

void PostgresRecordStore::beginWriting() {
    connection_.execute("BEGIN");
    try {
        connection_.run("SELECT set_config('lock_timeout', $1, true)",
                        Parameters().text(std::to_string(busyTimeout_.count()) + "ms"));
        // One lock per schema: every Tessaran write in this federation takes it first.
        connection_.run(std::string("SELECT pg_advisory_xact_lock(") + postgres::kWriteLock + ")");
    } catch (...) {
        connection_.execute("ROLLBACK");
        throw;
    }
    known_.clear();
    writeTransaction_ = true;
}

void PostgresRecordStore::undoingOnFailure(const std::function<void()>& work, const char* undo) {
    try {
        work();
    } catch (...) {
        connection_.discardDeferred();
        if (connection_.transactionStatus() != PQTRANS_UNKNOWN) {
            try {
                connection_.execute(undo);
            } catch (const DatabaseError&) {
                // The connection is gone: the server has already undone the change.
            }
        }
        throw;
    }
}

void PostgresRecordStore::atomically(const std::function<void()>& change) {
    if (connection_.transactionStatus() == PQTRANS_IDLE) {
        inOwnTransaction(change);
        return;
    }
    connection_.execute("SAVEPOINT tessaran_change");
    const bool voidedBefore = voided_;
    try {
        undoingOnFailure(change, "ROLLBACK TO tessaran_change; RELEASE tessaran_change");
    } catch (...) {
        known_.clear();  // it may hold what the undone change wrote
        voided_ = voidedBefore;  // undone to the savepoint, a failed write inside it is gone
        throw;
    }
    connection_.execute("RELEASE tessaran_change");
}

void PostgresRecordStore::writing(FunctionRef<void()> change) {
    // Inside a transaction a record's write is part of it, without a savepoint of its own (two
    // round trips a record): a write that fails voids the caller's transaction, which a
    // print run or an import then rolls back whole.
    if (connection_.transactionStatus() != PQTRANS_IDLE) {
        try {
            change();
        } catch (...) {
            voided_ = true;
            throw;
        }
        return;
    }
    inOwnTransaction(change);
}

void PostgresRecordStore::inOwnTransaction(const std::function<void()>& change) {
    beginWriting();
    try {
        undoingOnFailure(change, "ROLLBACK");
        connection_.execute("COMMIT");
    } catch (...) {
        transactionEnded();
        throw;
    }
    transactionEnded();
}

void PostgresRecordStore::readConsistently(const std::function<void()>& reads) {
    if (connection_.transactionStatus() != PQTRANS_IDLE) {
        reads();
        return;
    }
    connection_.execute("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    undoingOnFailure(reads, "ROLLBACK");
    connection_.execute("COMMIT");
}

void PostgresRecordStore::write(const std::string& file, std::string_view key, const DynamicArray& record) {
    requireFile(file);
    writing([&] {
        // The record as the index knows it, so that only the entries that change are written:
        // the record as read, or, when another tool wrote it since, the one its note keeps.
        // A record the transaction does not know yet costs one round trip to learn what it
        // was and whether another tool wrote it since; its write is held with the others.
        // A key written again goes after the batch that holds it, so that writes keep their order.
        if (pending_.holds(file, key)) connection_.sendHeld();
        // A record written without being read first (an import, say) is not kept: only what
        // the transaction read is, so that memory does not grow with what it writes.
        Known* const kept = known(file, key);
        Known asked;
        if (kept == nullptr) asked = ask(file, key);
        const Known& was = kept != nullptr ? *kept : asked;
        const bool edited = was.editedOutside != nullptr;
        const bool indexed = !indexedAttributes(file).empty();
        // A record another tool wrote: the index holds the entries of the one its note keeps,
        // or, when notes do not keep it, entries found by key, all cleared.
        if (indexed && edited && !format_.notesKeepIndexed)
            pending_.clearEntries(file, key, indexedAttributes(file));
        pending_.store(file, key, record.str());
        // Fails midway: the record stored, its index entries not.
        if (injectedFaultDue())
            throw DatabaseError(error_code::kStorage, "injected write failure on key \"" + std::string(key) + "\"");
        if (indexed) {
            const std::optional<std::string>& before = edited ? was.editedOutside->indexed : was.record;
            holdIndexChanges(file, key, before ? DynamicArray(*before) : DynamicArray(), record);
        }
        if (edited) pending_.forgetNote(file, key);
        // Sent once a batch is full, without waiting; else with the next statement that
        // answers, the transaction's commit at the latest.
        if (pending_.rows() >= kSendAtRows) connection_.sendHeld();
        if (kept != nullptr) *kept = {record.str(), nullptr};
    });
}

void PostgresRecordStore::holdIndexChanges(const std::string& file, std::string_view key, const DynamicArray& before,
                                           const DynamicArray& record) {
    const IndexChanges changes = indexChanges(indexedAttributes(file), before, record);
    for (const IndexChange& entry : changes.dropped) pending_.dropEntry(file, entry.attribute, entry.value, key);
    for (const IndexChange& entry : changes.added) pending_.addEntry(file, entry.attribute, entry.value, key);
}

void PostgresRecordStore::scanRange(const std::string& file, std::string_view from, std::string_view to,
                                    const RowVisitor& visit) {
    requireFile(file);
    const std::string first = "SELECT key, record FROM " + table(file) + " WHERE key >= $1" +
                              (to.empty() ? "" : " AND key < $3") + " ORDER BY key LIMIT $2";
    const std::string next = "SELECT key, record FROM " + table(file) + " WHERE key > $1" +
                             (to.empty() ? "" : " AND key < $3") + " ORDER BY key LIMIT $2";
    std::string last(from);
    bool started = false;
    for (;;) {
        Parameters parameters;
        parameters.bytes(last).number(kScanPage);
        if (!to.empty()) parameters.bytes(to);
        const Result page = connection_.run(started ? next : first, parameters, Rows::AsBytes);
        for (int row = 0; row < page.rows(); ++row) visit(page.value(row, 0), page.value(row, 1));
        if (page.rows() < kScanPage) return;
        last = std::string(page.value(page.rows() - 1, 0));
        started = true;
    }
}

void PostgresRecordStore::scan(const std::string& file, const RowVisitor& visit) { scanRange(file, "", "", visit); }

void PostgresRecordStore::scanPrefix(const std::string& file, std::string_view prefix, const RowVisitor& visit) {
    scanRange(file, prefix, afterPrefix(prefix), visit);
}

std::size_t PostgresRecordStore::countKeysWithPrefix(const std::string& file, std::string_view prefix,
                                                     std::size_t limit) {
    requireFile(file);
    const Result count = connection_.run("SELECT count(*) FROM (SELECT 1 FROM " + table(file) +
                                             " WHERE key >= $1 AND key < $2 LIMIT $3) admitted",
                                         Parameters().bytes(prefix).bytes(afterPrefix(prefix)).number(
                                             static_cast<long long>(limit)));
    return static_cast<std::size_t>(count.integer(0, 0));
}

postgres::IndexTable PostgresRecordStore::indexOf(const std::string& file, int attribute) const {
    requireFile(file);
    if (indexedAttributes(file).count(attribute) == 0)
        throw DatabaseError(error_code::kInvalidRequest,
                            "attribute " + std::to_string(attribute) + " of " + file + " is not indexed");
    return postgres::IndexTable(format_.index, file, attribute);
}

std::size_t PostgresRecordStore::countIndexEntries(const std::string& file, int attribute, std::string_view value,
                                                   bool prefix, std::size_t limit) {
    const postgres::IndexTable index = indexOf(file, attribute);
    // An equal value is the range from the value to itself.
    const std::string end = prefix ? afterPrefix(value) : std::string(value);
    const Result count =
        connection_.run(index.count(), Parameters().bytes(value).bytes(end).number(static_cast<long long>(limit)));
    return static_cast<std::size_t>(count.integer(0, 0));
}

void PostgresRecordStore::indexKeys(const std::string& file, int attribute, std::string_view value, bool prefix,
                                    std::vector<std::string>& keys) {
    const postgres::IndexTable index = indexOf(file, attribute);
    const Result found =
        prefix ? connection_.run(index.keysOfRange(), Parameters().bytes(value).bytes(afterPrefix(value)), Rows::AsBytes)
               : connection_.run(index.keysOfValue(), Parameters().bytes(value), Rows::AsBytes);
    for (int row = 0; row < found.rows(); ++row) keys.emplace_back(found.value(row, 0));
}

std::optional<std::string> PostgresRecordStore::topIndexedNumber(const std::string& file, int attribute,
                                                                  int digits) {
    const Result top = connection_.run(indexOf(file, attribute).highestNumber(), Parameters().number(digits),
                                       Rows::AsBytes);
    if (top.rows() == 0) return std::nullopt;
    return std::string(top.value(0, 0));
}

void PostgresRecordStore::changedKeys(const std::string& file, std::vector<std::string>& keys) {
    const Result changed = connection_.run("SELECT key FROM tessaran_changed WHERE file = $1 ORDER BY key",
                                           Parameters().text(file), Rows::AsBytes);
    for (int row = 0; row < changed.rows(); ++row) keys.emplace_back(changed.value(row, 0));
}

void PostgresRecordStore::rebuildIndexes() {
    // Inside a transaction, a rollback after the rebuild would take back tables the catalogue
    // would still count on.
    if (connection_.transactionStatus() != PQTRANS_IDLE)
        throw DatabaseError(error_code::kStorage, "the indexes are rebuilt outside any transaction");
    std::map<std::string, std::set<int>> before = catalogue_.indexed;
    try {
        atomically([&] {
            std::map<std::string, std::set<int>> indexed = postgres::indexedRows(connection_);
            std::erase_if(indexed, [&](const auto& file) { return !hasFile(file.first); });
            if (format_.index == postgres::IndexLayout::TablePerAttribute) {
                catalogue_.indexed = postgres::shapeIndexTables(connection_, indexed);
                for (const auto& [file, attributes] : catalogue_.indexed)
                    for (const int attribute : attributes)
                        connection_.execute(postgres::IndexTable(format_.index, file, attribute).clear());
            } else {
                connection_.execute("DELETE FROM tessaran_index");
                catalogue_.indexed = std::move(indexed);
            }
            for (const auto& [file, attributes] : catalogue_.indexed) {
                scan(file, [&](std::string_view key, std::string_view record) {
                    holdIndexChanges(file, key, DynamicArray(), DynamicArray(record));
                    if (pending_.rows() >= kSendAtRows) connection_.sendHeld();
                });
            }
            if (format_.index == postgres::IndexLayout::TablePerAttribute)
                for (const auto& [file, attributes] : catalogue_.indexed)
                    for (const int attribute : attributes)
                        connection_.execute(postgres::IndexTable(format_.index, file, attribute).analyze());
            connection_.execute("DELETE FROM tessaran_changed");
        });
    } catch (...) {
        catalogue_.indexed = std::move(before);  // rolled back: the tables are as they were
        throw;
    }
}

}  // namespace tessaran::db
