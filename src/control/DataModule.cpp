#include "DataModule.h"

#include <stdexcept>

#include "database/Schema.h"

namespace tessaran::control {
namespace {

std::unique_ptr<DataModule>& instance() {
    static std::unique_ptr<DataModule> module = std::make_unique<DataModule>();
    return module;
}

}  // namespace

DataModule& dataModule() { return *instance(); }

db::Record& heldRecord(const std::shared_ptr<db::Record>& slot, std::string_view fileName) {
    if (!slot) throw std::logic_error("no current record of " + std::string(fileName));
    return *slot;
}

void resetDataModule() { instance() = std::make_unique<DataModule>(); }

FileSlot& DataModule::slot(const std::string& fileName) {
    if (fileName == "ACTIVITES") return ACTIVITES;
    if (fileName == "ASSOCIATION") return ASSOCIATION;
    if (fileName == "BAREMEFEDEASSO") return BAREMEFEDEASSO;
    if (fileName == "FEDEASSOC") return FEDEASSOC;
    if (fileName == "FLUXCOMPTABLES") return FLUXCOMPTABLES;
    if (fileName == "FLUXPARAM") return FLUXPARAM;
    if (fileName == "NUMEROFACT") return NUMEROFACT;
    if (fileName == "ORGPRISECHARGE") return ORGPRISECHARGE;
    if (fileName == "PERIODESPAIE") return PERIODESPAIE;
    if (fileName == "SECTEUR") return SECTEUR;
    throw std::invalid_argument("no record slot for the file " + fileName);
}

void DataModule::Ouvre_Fichiers() {
    if (!database) {
        throw db::DatabaseError(db::error_code::kNoDatabase,
                                "no database was handed to the control before Init");
    }
    for (std::string_view name : db::kApplicationFiles) {
        const std::string fileName(name);
        slot(fileName).file = database->OpenFile(fileName);
    }
    request = std::make_shared<db::SelectRequest>();
}

void DataModule::Libere_Objets() {
    request.reset();
    // Current records, in the order the files are opened; both flow slots together.
    ACTIVITES.record.reset();
    ASSOCIATION.record.reset();
    BAREMEFEDEASSO.record.reset();
    FEDEASSOC.record.reset();
    FLUXCOMPTABLES.record.reset();
    FLUXCOMPTABLES2.reset();
    FLUXPARAM.record.reset();
    NUMEROFACT.record.reset();
    ORGPRISECHARGE.record.reset();
    PERIODESPAIE.record.reset();
    SECTEUR.record.reset();
    for (std::string_view name : db::kApplicationFiles) slot(std::string(name)).file.reset();
    database.reset();
}

}  // namespace tessaran::control
