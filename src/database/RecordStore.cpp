#include "RecordStore.h"

#include "DatabaseError.h"
#include "IndexEntries.h"

namespace tessaran::db {
namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

RecordStore::RecordStore(sqlite3* connection, schema::Catalogue catalogue)
    : connection_(connection),
      catalogue_(std::move(catalogue)),
      indexLayout_(schema::indexLayout(connection)),
      anyChanged_(connection, "SELECT 1 FROM tessaran_changed WHERE file = ?1 LIMIT 1"),
      savepoint_(connection, "SAVEPOINT tessaran_change"),
      release_(connection, "RELEASE tessaran_change"),
      notesKeepRecords_(schema::notesKeepRecords(connection)),
      noteOf_(connection, std::string("SELECT ") + (notesKeepRecords_ ? "indexed" : "NULL") +
                              " FROM tessaran_changed WHERE file = ?1 AND key = ?2"),
      forgetChange_(connection, "DELETE FROM tessaran_changed WHERE file = ?1 AND key = ?2"),
      changed_(connection, "SELECT key FROM tessaran_changed WHERE file = ?1") {
    sqlite3_commit_hook(connection_, &RecordStore::transactionEnds, this);
    sqlite3_rollback_hook(connection_, &RecordStore::transactionRolledBack, this);
}

RecordStore::~RecordStore() {
    sqlite3_commit_hook(connection_, nullptr, nullptr);
    sqlite3_rollback_hook(connection_, nullptr, nullptr);
}

int RecordStore::transactionEnds(void* store) {
    auto& self = *static_cast<RecordStore*>(store);
    // Index entries still held would be missing from the committed index: the commit becomes
    // a rollback. Every commit path writes them first, so this is only a safeguard.
    if (!self.pendingEntries_.empty()) return 1;
    ++self.transactionsEnded_;
    return 0;  // the commit goes on
}

void RecordStore::transactionRolledBack(void* store) {
    auto& self = *static_cast<RecordStore*>(store);
    self.pendingEntries_.discard();  // their writes are undone
    ++self.transactionsEnded_;
}

void RecordStore::flushIndexEntries() {
    try {
        pendingEntries_.flush();
    } catch (...) {
        voided_ = true;
        voidedTransaction_ = transactionsEnded_;
        throw;
    }
}

RecordStore::FileStatements& RecordStore::statementsOf(const std::string& file) {
    // A run reads and writes one file many times over: the last one is found again at once.
    if (lastStatements_ != nullptr && lastStatements_->first == file) return lastStatements_->second;
    requireFile(file);
    auto found = fileStatements_.find(file);
    if (found != fileStatements_.end()) {
        lastStatements_ = &*found;
        return found->second;
    }
    // The name is one of the catalogue's plain names, so it can name a table.
    const std::string table = sqlite::quotedIdentifier(file);
    FileStatements statements{
        sqlite::Statement(connection_, "SELECT record FROM " + table + " WHERE key = ?1"),
        sqlite::Statement(connection_, "INSERT INTO " + table +
                                           " (key, record) VALUES (?1, ?2) "
                                           "ON CONFLICT (key) DO UPDATE SET record = excluded.record"),
        sqlite::Statement(connection_, "UPDATE " + table + " SET record = ?2 WHERE key = ?1"),
        sqlite::Statement(connection_, "SELECT key, record FROM " + table + " ORDER BY key"),
        sqlite::Statement(connection_,
                          "SELECT key, record FROM " + table + " WHERE key >= ?1 ORDER BY key"),
        sqlite::Statement(connection_, "SELECT count(*) FROM (SELECT 1 FROM " + table +
                                           " WHERE key >= ?1 AND key < ?2 LIMIT ?3)"),
        &indexedAttributes(file),
        {}};
    for (const int attribute : *statements.indexed)
        statements.indexes.try_emplace(attribute, connection_, indexLayout_, file, attribute);
    lastStatements_ = &*fileStatements_.emplace(file, std::move(statements)).first;
    return lastStatements_->second;
}

IndexTable& RecordStore::indexOf(const std::string& file, int attribute) {
    FileStatements& statements = statementsOf(file);
    const auto found = statements.indexes.find(attribute);
    if (found == statements.indexes.end())
        throw DatabaseError(error_code::kInvalidRequest,
                            "attribute " + std::to_string(attribute) + " of " + file + " is not indexed");
    return found->second;
}

std::optional<std::string> RecordStore::read(const std::string& file, std::string_view key) {
    sqlite::StatementUse use(statementsOf(file).read);
    use->bindInPlace(1, key);
    if (!use->step()) return std::nullopt;
    std::string record(use->blob(0));
    keepLastRead(file, key, record);
    return record;
}

void RecordStore::handedOut(const std::string& file, std::string_view key, std::string_view record) {
    keepLastRead(file, key, record);
}

void RecordStore::keepLastRead(const std::string& file, std::string_view key, std::string_view record) {
    // Inside a write transaction nobody else can change the record before this connection
    // writes it: kept, it is what the index knows of it when it is written back.
    if (!indexedAttributes(file).empty() && sqlite3_txn_state(connection_, "main") == SQLITE_TXN_WRITE) {
        lastRead_.file = file;
        lastRead_.key.assign(key);
        lastRead_.record.assign(record);
        lastRead_.transaction = transactionsEnded_;
        lastRead_.held = true;
    }
}

void RecordStore::readMany(const std::string& file, const std::vector<std::string>& keys, const RowVisitor& visit) {
    // The keys are sorted: they are read along the table in key order. Stepping to the next
    // row costs far less than a look-up from the root, so a few rows that are not wanted are
    // stepped over; past them the walk seeks the next wanted key afresh.
    constexpr int kStepsBeforeSeek = 4;
    sqlite::Statement& walk = statementsOf(file).scanFrom;
    std::size_t next = 0;
    while (next < keys.size()) {
        sqlite::StatementUse use(walk);
        use->bindInPlace(1, keys[next]);
        int passed = 0;
        bool seekAgain = false;
        while (!seekAgain && next < keys.size()) {
            if (!use->step()) return;  // past the last row: the keys left are not there
            const std::string_view key = use->text(0);
            while (next < keys.size() && std::string_view(keys[next]) < key) ++next;  // not there
            if (next == keys.size()) return;
            if (key == keys[next]) {
                visit(key, use->blob(1));
                ++next;
                passed = 0;
            } else {
                seekAgain = ++passed > kStepsBeforeSeek;
            }
        }
    }
}

void RecordStore::atomically(const std::function<void()>& change) {
    const bool ownTransaction = sqlite3_get_autocommit(connection_) != 0;
    if (ownTransaction) {
        sqlite::execute(connection_, "BEGIN IMMEDIATE");
    } else {
        flushIndexEntries();  // those held now belong to the writes before the savepoint
        savepoint_.run();
    }
    const bool voidedBefore = transactionVoided();
    try {
        change();
        if (ownTransaction && transactionVoided())
            throw DatabaseError(error_code::kStorage, "a write of this change failed: nothing of it was kept");
        if (ownTransaction) endOwnWrites();
    } catch (...) {
        // SQLite may already have rolled the transaction back on some failures; the
        // rollback is then a harmless no-op error.
        sqlite3_exec(connection_, ownTransaction ? "ROLLBACK" : "ROLLBACK TO tessaran_change; RELEASE tessaran_change",
                     nullptr, nullptr, nullptr);
        if (ownTransaction) forgetOwnWrites();
        if (!ownTransaction) pendingEntries_.discard();  // those of the writes undone
        // Undone to the savepoint, a write that failed inside it no longer voids the transaction.
        if (!ownTransaction) voided_ = voidedBefore;
        throw;
    }
    if (ownTransaction)
        sqlite::execute(connection_, "COMMIT");
    else
        release_.run();
}

void RecordStore::writing(FunctionRef<void()> change) {
    if (sqlite3_get_autocommit(connection_) != 0) {
        atomically(change);
        return;
    }
    // Inside a transaction a write has no savepoint of its own: each would copy every page the
    // write touches into a statement journal. A write that fails midway voids the transaction
    // instead, which can then only be rolled back (a print run or an import rolls back whole
    // on any failed write anyway).
    try {
        change();
    } catch (...) {
        voided_ = true;
        voidedTransaction_ = transactionsEnded_;
        throw;
    }
}

bool RecordStore::transactionVoided() const {
    return voided_ && voidedTransaction_ == transactionsEnded_ && sqlite3_get_autocommit(connection_) == 0;
}

bool RecordStore::silenced(const std::string& file) const {
    const auto found = silencedFiles_.find(file);
    return found != silencedFiles_.end() && found->second == transactionsEnded_ &&
           sqlite3_get_autocommit(connection_) == 0;
}

void RecordStore::silenceTriggers(const std::string& file) {
    sqlite::execute(connection_, schema::dropFileTriggersSql(file).c_str());
    silencedFiles_[file] = transactionsEnded_;
}

void RecordStore::endOwnWrites() {
    flushIndexEntries();
    for (auto it = silencedFiles_.begin(); it != silencedFiles_.end(); it = silencedFiles_.erase(it))
        if (it->second == transactionsEnded_) sqlite::execute(connection_, schema::fileTriggersSql(it->first).c_str());
}

void RecordStore::readConsistently(const std::function<void()>& reads) {
    if (sqlite3_get_autocommit(connection_) == 0) {
        reads();
        return;
    }
    sqlite::execute(connection_, "BEGIN");
    try {
        reads();
    } catch (...) {
        sqlite3_exec(connection_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    sqlite::execute(connection_, "COMMIT");
}

void RecordStore::write(const std::string& file, std::string_view key, const DynamicArray& record) {
    FileStatements& statements = statementsOf(file);
    // Inside a transaction, the file's triggers go before its first write: the application
    // keeps the index up to date itself, and a trigger would cost each write a program of its
    // own and a statement journal. They are put back before the commit (endOwnWrites), and a
    // rollback puts them back with everything else, so no other connection ever sees the file
    // without them.
    const bool ownWritesUnnoted = sqlite3_get_autocommit(connection_) == 0;
    if (ownWritesUnnoted && !silenced(file)) silenceTriggers(file);
    writing([&] {
        // The record as the index knows it, so that only the entries that change are written.
        // For a record another tool edited, that is the record its note kept.
        const bool indexed = !statements.indexed->empty();
        const std::optional<OutsideNote> note = outsideNote(file, key, ownWritesUnnoted);
        std::optional<std::string> before;
        const bool kept = lastRead_.held && lastRead_.transaction == transactionsEnded_ && lastRead_.key == key &&
                          lastRead_.file == file;
        if (indexed) {
            if (!note) {
                before = kept ? std::move(lastRead_.record) : read(file, key);
            } else if (notesKeepRecords_) {
                before = note->indexed;
            } else {
                dropAllIndexEntries(file, key);  // a database still laid out as version 1 or 2
            }
        }
        lastRead_.held = false;
        // A record read in this write transaction is still there: no insert is tried.
        (kept ? statements.update : statements.upsert).bindInPlace(1, key).bindBlobInPlace(2, record.str()).run();
        if (injectedFaultDue())
            throw DatabaseError(error_code::kStorage, "injected write failure on key \"" + std::string(key) + "\"");
        if (indexed) indexRecord(statements, key, before ? std::string_view(*before) : std::string_view(), record);
        if (kept) {  // written back: the index now knows the record as written
            lastRead_.record = record.str();
            lastRead_.held = true;
        }
        // With its triggers, the file has just noted the key; without, only another tool's note is left.
        if (note || !ownWritesUnnoted) forgetChange_.bindInPlace(1, file).bindInPlace(2, key).run();
    });
}

void RecordStore::dropAllIndexEntries(const std::string& file, std::string_view key) {
    // Only a layout of version 1 or 2 comes here, and it has the index of the entries by key.
    flushIndexEntries();
    if (!dropIndexEntries_)
        dropIndexEntries_.emplace(connection_, "DELETE FROM tessaran_index WHERE file = ?1 AND key = ?2");
    dropIndexEntries_->bind(1, file).bind(2, key).run();
}

void RecordStore::indexRecord(FileStatements& statements, std::string_view key, std::string_view before,
                              const DynamicArray& record) {
    const IndexChanges changes = indexChanges(*statements.indexed, before, record);
    if (!changes.dropped.empty()) flushIndexEntries();
    for (const IndexChange& entry : changes.dropped) statements.indexes.at(entry.attribute).drop(entry.value, key);
    for (const IndexChange& entry : changes.added)
        pendingEntries_.add(statements.indexes.at(entry.attribute), entry.value, key);
}

namespace {

// Every text beginning with `prefix` sorts at or after it and before this: UTF-8 text never
// holds the byte 0xFF.
std::string afterPrefix(std::string_view prefix) { return std::string(prefix) + '\xFF'; }

}  // namespace

std::size_t RecordStore::countKeysWithPrefix(const std::string& file, std::string_view prefix, std::size_t limit) {
    sqlite::StatementUse use(statementsOf(file).countRange);
    use->bind(1, prefix).bind(2, afterPrefix(prefix)).bind(3, static_cast<long long>(limit));
    return use->step() ? static_cast<std::size_t>(use->integer(0)) : 0;
}

std::size_t RecordStore::countIndexEntries(const std::string& file, int attribute, std::string_view value,
                                           bool prefix, std::size_t limit) {
    IndexTable& index = indexOf(file, attribute);
    flushIndexEntries();
    // An equal value is the range from the value to itself.
    return index.count(value, prefix ? afterPrefix(value) : std::string(value), limit);
}

std::optional<std::string> RecordStore::topIndexedNumber(const std::string& file, int attribute, int digits) {
    IndexTable& index = indexOf(file, attribute);
    flushIndexEntries();
    return index.highestNumber(digits);
}

void RecordStore::scan(const std::string& file, const RowVisitor& visit) {
    sqlite::StatementUse use(statementsOf(file).scan);
    while (use->step()) visit(use->text(0), use->blob(1));
}

void RecordStore::scanPrefix(const std::string& file, std::string_view prefix, const RowVisitor& visit) {
    sqlite::StatementUse use(statementsOf(file).scanFrom);
    use->bind(1, prefix);
    while (use->step()) {
        const std::string_view key = use->text(0);
        if (!startsWith(key, prefix)) break;  // keys are in byte order: the range is over
        visit(key, use->blob(1));
    }
}

void RecordStore::indexKeys(const std::string& file, int attribute, std::string_view value, bool prefix,
                            std::vector<std::string>& keys) {
    IndexTable& index = indexOf(file, attribute);
    flushIndexEntries();
    index.keys(value, prefix, keys);
}

std::optional<RecordStore::OutsideNote> RecordStore::outsideNote(const std::string& file, std::string_view key,
                                                                 bool ownWritesUnnoted) {
    const auto unnoted = unnotedFiles_.find(file);
    if (ownWritesUnnoted && unnoted != unnotedFiles_.end() && unnoted->second == transactionsEnded_) return std::nullopt;
    if (ownWritesUnnoted) {
        sqlite::StatementUse any(anyChanged_);
        any->bindInPlace(1, file);
        if (!any->step()) {
            unnotedFiles_[file] = transactionsEnded_;
            return std::nullopt;
        }
    }
    sqlite::StatementUse use(noteOf_);
    use->bindInPlace(1, file).bindInPlace(2, key);
    if (!use->step()) return std::nullopt;
    OutsideNote note;
    if (!use->isNull(0)) note.indexed = std::string(use->blob(0));
    return note;
}

void RecordStore::changedKeys(const std::string& file, std::vector<std::string>& keys) {
    sqlite::StatementUse use(changed_);
    use->bind(1, file);
    while (use->step()) keys.emplace_back(use->text(0));
}

void RecordStore::useIndexed(std::map<std::string, std::set<int>> indexed) {
    pendingEntries_.forgetTables();
    lastStatements_ = nullptr;
    fileStatements_.clear();  // their statements name the tables of the attributes indexed before
    catalogue_.indexed = std::move(indexed);
}

void RecordStore::rebuildIndexes() {
    // Inside a transaction, a rollback after the rebuild would take back tables the catalogue
    // would still count on.
    if (sqlite3_get_autocommit(connection_) == 0)
        throw DatabaseError(error_code::kStorage, "the indexes are rebuilt outside any transaction");
    std::map<std::string, std::set<int>> before = catalogue_.indexed;
    try {
        atomically([&] {
            std::map<std::string, std::set<int>> indexed = schema::indexedRows(connection_);
            std::erase_if(indexed, [&](const auto& file) { return !hasFile(file.first); });
            if (indexLayout_ == schema::IndexLayout::TablePerAttribute)
                schema::shapeIndexTables(connection_, indexed);
            else
                sqlite::execute(connection_, "DELETE FROM tessaran_index");
            useIndexed(std::move(indexed));
            for (const auto& [file, attributes] : catalogue_.indexed) {
                FileStatements& statements = statementsOf(file);
                if (indexLayout_ == schema::IndexLayout::TablePerAttribute)
                    for (auto& [attribute, index] : statements.indexes) index.clear();
                std::vector<std::pair<std::string, DynamicArray>> records;
                scan(file, [&](std::string_view key, std::string_view record) {
                    records.emplace_back(std::string(key), DynamicArray(record));
                });
                for (const auto& [key, record] : records) indexRecord(statements, key, {}, record);
            }
            sqlite::execute(connection_, "DELETE FROM tessaran_changed");
        });
    } catch (...) {
        useIndexed(std::move(before));  // rolled back: the tables are as they were
        throw;
    }
}

}  // namespace tessaran::db
