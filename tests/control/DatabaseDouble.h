#pragma once
// A database, its files and records, and rights objects that write into a shared log when
// they are destroyed, so that a test sees the order in which the control lets go of them.
// Files do not keep the database alive here: only the control's own references do.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "database/Database.h"
#include "platform/Rights.h"

namespace tessaran::control::testing {

using ReleaseLog = std::shared_ptr<std::vector<std::string>>;

class LoggedRecord : public db::Record {
public:
    LoggedRecord(std::shared_ptr<db::File> file, std::string key, db::DynamicArray contents, ReleaseLog log)
        : Record(std::move(file), std::move(key), std::move(contents)), log_(std::move(log)) {}
    ~LoggedRecord() { log_->push_back("record " + key()); }

private:
    ReleaseLog log_;
};

class LoggedFile : public db::File {
public:
    LoggedFile(std::string name, std::map<std::string, db::DynamicArray> records, ReleaseLog log)
        : name_(std::move(name)), records_(std::move(records)), log_(std::move(log)) {}
    ~LoggedFile() override { log_->push_back("file " + name_); }

    const std::string& name() const override { return name_; }
    std::shared_ptr<db::Record> Read(const std::string& key) override {
        const auto found = records_.find(key);
        if (found == records_.end()) throw db::DatabaseError(db::error_code::kNotFound, "no record " + key);
        return std::make_shared<LoggedRecord>(shared_from_this(), name_ + "/" + key, found->second, log_);
    }
    std::shared_ptr<db::Record> NewRecord(const std::string& key) override {
        return std::make_shared<LoggedRecord>(shared_from_this(), name_ + "/" + key, db::DynamicArray(), log_);
    }
    void write(const std::string& key, const db::DynamicArray& contents) override { records_[key] = contents; }

private:
    std::string name_;
    std::map<std::string, db::DynamicArray> records_;
    ReleaseLog log_;
};

class LoggedDatabase : public db::Database {
public:
    explicit LoggedDatabase(ReleaseLog log) : log_(std::move(log)) {}
    ~LoggedDatabase() override { log_->push_back("database"); }

    std::shared_ptr<db::File> OpenFile(const std::string& name) override {
        if (name == failingFile) throw db::DatabaseError(db::error_code::kUnknownFile, "no file " + name);
        opened.push_back(name);
        std::map<std::string, db::DynamicArray> records;
        if (name == "PERIODESPAIE") records["1"] = db::DynamicArray("200203");
        if (name == "ASSOCIATION") records["001"] = db::DynamicArray("FEDERATION");
        if (name == "FLUXCOMPTABLES") records["F1"] = records["F2"] = db::DynamicArray("X");
        return std::make_shared<LoggedFile>(name, std::move(records), log_);
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
    ReleaseLog log_;
};

class LoggedFunctionRights : public platform::FunctionRights {
public:
    LoggedFunctionRights(int level, ReleaseLog log) : level_(level), log_(std::move(log)) {}
    ~LoggedFunctionRights() override { log_->push_back("DroitsFonction"); }
    int level() const override { return level_; }

private:
    int level_;
    ReleaseLog log_;
};

class LoggedUserRights : public platform::UserRights {
public:
    LoggedUserRights(int level, ReleaseLog log) : level_(level), log_(std::move(log)) {}
    ~LoggedUserRights() override { log_->push_back("Droits"); }
    std::shared_ptr<platform::FunctionRights> rightsOf(const std::string&) override {
        return std::make_shared<LoggedFunctionRights>(level_, log_);
    }

private:
    int level_;
    ReleaseLog log_;
};

}  // namespace tessaran::control::testing
