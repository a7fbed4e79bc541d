#pragma once
// A database, its files and records, and rights objects that write into a shared log when
// they are destroyed, so that a test sees the order in which the control lets go of them.
// Files do not keep the database alive here: only the control's own references do.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "database/Database.h"
#include "platform/DatabaseRights.h"

namespace tessaran::control::testing {

using ReleaseLog = std::shared_ptr<std::vector<std::string>>;

// Writes its entry into the log when the object holding it is destroyed.
struct LogOnRelease {
    ReleaseLog log;
    std::string entry;
    ~LogOnRelease() { log->push_back(entry); }
};

struct LoggedRecord : db::Record {
    LoggedRecord(std::shared_ptr<db::File> file, const std::string& key, db::DynamicArray contents, ReleaseLog log)
        : Record(std::move(file), key, std::move(contents)), logged{std::move(log), "record " + key} {}
    LogOnRelease logged;
};

class LoggedFile : public db::File {
public:
    LoggedFile(std::string name, std::map<std::string, db::DynamicArray> records, ReleaseLog log)
        : name_(std::move(name)), records_(std::move(records)), logged_{log, "file " + name_} {}

    const std::string& name() const override { return name_; }
    std::shared_ptr<db::Record> Read(const std::string& key) override {
        const auto found = records_.find(key);
        if (found == records_.end()) throw db::DatabaseError(db::error_code::kNotFound, "no record " + key);
        return std::make_shared<LoggedRecord>(shared_from_this(), name_ + "/" + key, found->second, logged_.log);
    }
    std::shared_ptr<db::Record> NewRecord(const std::string& key) override {
        return std::make_shared<LoggedRecord>(shared_from_this(), name_ + "/" + key, db::DynamicArray(), logged_.log);
    }
    void write(const std::string& key, const db::DynamicArray& contents) override { records_[key] = contents; }

private:
    std::string name_;
    std::map<std::string, db::DynamicArray> records_;
    LogOnRelease logged_;
};

class LoggedDatabase : public db::Database {
public:
    explicit LoggedDatabase(ReleaseLog log) : logged_{std::move(log), "database"} {}

    std::shared_ptr<db::File> OpenFile(const std::string& name) override {
        if (name == failingFile) throw db::DatabaseError(db::error_code::kUnknownFile, "no file " + name);
        opened.push_back(name);
        std::map<std::string, db::DynamicArray> records;
        if (name == "PERIODESPAIE") records["1"] = db::DynamicArray("200203");
        if (name == "ASSOCIATION") records["001"] = db::DynamicArray("FEDERATION");
        if (name == "FLUXCOMPTABLES") records["F1"] = records["F2"] = db::DynamicArray("X");
        return std::make_shared<LoggedFile>(name, std::move(records), logged_.log);
    }
    db::DynamicArray Select(const std::string&, const std::string& = {}) override { return associations; }
    void begin() override {}
    void commit() override {}
    void rollback() override {}
    bool inTransaction() const override { return false; }

    std::string failingFile;  // OpenFile of this name fails
    std::vector<std::string> opened;
    db::DynamicArray associations;

private:
    LogOnRelease logged_;
};

struct LoggedFunctionRights : platform::FixedFunctionRights {
    LoggedFunctionRights(int level, ReleaseLog log)
        : FixedFunctionRights(level), logged{std::move(log), "DroitsFonction"} {}
    LogOnRelease logged;
};

struct LoggedUserRights : platform::UserRights {
    LoggedUserRights(int level, ReleaseLog log) : level(level), logged{std::move(log), "Droits"} {}
    std::shared_ptr<platform::FunctionRights> rightsOf(const std::string&) override {
        return std::make_shared<LoggedFunctionRights>(level, logged.log);
    }
    int level;
    LogOnRelease logged;
};

}  // namespace tessaran::control::testing
