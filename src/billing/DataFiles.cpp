#include "billing/DataFiles.h"

#include <stdexcept>

#include "database/Schema.h"

namespace tessaran::billing {

db::Record& FileSlot::read(const std::string& key) {
    record = file->Read(key);
    return *record;
}

db::Record& FileSlot::held() const {
    if (!record) throw std::logic_error("no current record of " + (file ? file->name() : std::string("a file")));
    return *record;
}

DataFiles::DataFiles(std::shared_ptr<db::Database> database) : database_(std::move(database)) {
    if (!database_) {
        throw db::DatabaseError(db::error_code::kNoDatabase, "no database was handed to the control before Init");
    }
    for (std::string_view name : db::kApplicationFiles) {
        const std::string fileName(name);
        slot(fileName).file = database_->OpenFile(fileName);
    }
    request_ = std::make_shared<db::SelectRequest>();
}

DataFiles::~DataFiles() {
    request_.reset();
    for (std::string_view name : db::kApplicationFiles) slot(std::string(name)).record.reset();
    for (std::string_view name : db::kApplicationFiles) slot(std::string(name)).file.reset();
    database_.reset();
}

db::DynamicArray DataFiles::select(const std::string& statement, const std::string& fileName,
                                   const std::string& attributes) const {
    db::SelectRequest& request = *request_;
    request.assign("");
    request.set(1, statement);
    request.set(2, fileName);
    request.set(3, attributes);
    return database_->Select(request.str(), "");
}

FileSlot& DataFiles::slot(const std::string& fileName) {
    if (fileName == "ACTIVITES") return activities;
    if (fileName == "ASSOCIATION") return issuer;
    if (fileName == "BAREMEFEDEASSO") return feeScales;
    if (fileName == "FEDEASSOC") return associations;
    if (fileName == "FLUXCOMPTABLES") return flows;
    if (fileName == "FLUXPARAM") return parameters;
    if (fileName == "NUMEROFACT") return counter;
    if (fileName == "ORGPRISECHARGE") return fundingBodies;
    if (fileName == "PERIODESPAIE") return payPeriods;
    if (fileName == "SECTEUR") return sectors;
    throw std::invalid_argument("no record slot for the file " + fileName);
}

}  // namespace tessaran::billing
