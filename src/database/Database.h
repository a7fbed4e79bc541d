#pragma once
// The database component as the application sees it: a database object that opens data
// files by name and runs select statements, files that read and create records by key, and
// records that store themselves. Objects are shared: a record keeps its file alive and a
// file keeps its database alive, so releasing the application's references in any order is
// safe, and the database object goes last.

#include <memory>
#include <optional>
#include <span>
#include <string>

#include "DatabaseError.h"
#include "DynamicArray.h"

namespace tessaran::db {

class File;

// A record: a dynamic array bound to one file and one key.
class Record : public DynamicArray {
public:
    Record(std::shared_ptr<File> file, std::string key, DynamicArray contents = {});
    const std::string& key() const { return key_; }
    // Stores the record under its key.
    void DBWrite();

private:
    std::shared_ptr<File> file_;
    std::string key_;
};

class File : public std::enable_shared_from_this<File> {
public:
    virtual ~File() = default;
    virtual const std::string& name() const = 0;
    // Reads the record stored under `key`; throws DatabaseError kNotFound when there is none.
    virtual std::shared_ptr<Record> Read(const std::string& key) = 0;
    // A new, empty record for `key`, stored only by its DBWrite.
    virtual std::shared_ptr<Record> NewRecord(const std::string& key) = 0;
    // Stores `contents` under `key` (what Record::DBWrite calls).
    virtual void write(const std::string& key, const DynamicArray& contents) = 0;
    // Says which keys Read will be asked for next, so that a file may fetch them together
    // beforehand. A hint only: Read answers the same with or without it, and the hint never
    // fails. Each hint replaces the one before; an empty one ends it.
    virtual void readAhead(std::span<const std::string> /*keys*/) {}
};

// The select request: attribute 1 the statement, 2 the file name, 3 the attribute numbers
// wanted, separated by spaces ("0" the key, "0 1" the key then attribute 1).
class SelectRequest : public DynamicArray {};

class Database {
public:
    virtual ~Database() = default;
    virtual std::shared_ptr<File> OpenFile(const std::string& name) = 0;
    // Runs the request given as its whole string form; returns the result list: one
    // attribute per selected record, in sort order, one value per requested attribute.
    // `option` is accepted for compatibility and ignored.
    virtual DynamicArray Select(const std::string& request, const std::string& option = {}) = 0;

    // One write transaction at a time per database file, across processes: begin waits for
    // another process's transaction to end (up to a bound, then throws kBusy).
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    virtual bool inTransaction() const = 0;

    // The greatest value of `attribute` of the file's records written with exactly `digits`
    // digits (an invoice number, say), looked up cheaply; none when no record has one, or when
    // the storage cannot tell.
    virtual std::optional<std::string> highestNumber(const std::string& /*file*/, int /*attribute*/,
                                                     int /*digits*/) {
        return std::nullopt;
    }
};

}  // namespace tessaran::db
