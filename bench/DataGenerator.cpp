#include "DataGenerator.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "database/Database.h"
#include "database/SqliteDatabase.h"

namespace tessaran::bench {
namespace {

using db::DynamicArray;

// splitmix64: small, fast, and the same sequence on every platform and standard library.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A whole number in [low, high].
    int between(int low, int high) {
        return low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low + 1));
    }
    bool chance(int percent) { return between(1, 100) <= percent; }

private:
    std::uint64_t state_;
};

std::string padded(int number, int width) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*d", width, number);
    return text;
}

std::string associationCode(int index) {
    std::string code(1, static_cast<char>('A' + index / 100));
    code += padded(index % 100, 2);
    return code;
}

std::string sectorCode(int index) {
    std::string code = "S";
    code += padded(index + 1, 2);
    return code;
}

std::string bodyCode(int index) { return std::to_string(101 + index); }

// Day number of the first day of a period, day 0 being 31 December 1967.
std::string firstDayOf(const std::string& period) {
    using namespace std::chrono;
    const year_month_day date{year{std::stoi(period.substr(0, 4))}, month{static_cast<unsigned>(std::stoi(period.substr(4)))},
                              day{1}};
    return std::to_string((sys_days(date) - sys_days(year{1967} / December / 31)).count());
}

void setValues(DynamicArray& record, int attribute, const std::vector<std::string>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) record.set(attribute, static_cast<int>(i) + 1, values[i]);
}

struct Association {
    std::string code;
    std::vector<std::string> sectors;
};

class Writer {
public:
    Writer(db::SqliteDatabase& database, const GeneratorSettings& settings)
        : database_(database), settings_(settings), random_(settings.seed) {}

    GeneratedData run() {
        if (settings_.associations < 1 || settings_.associations > 2600 || settings_.sectors < 1 ||
            settings_.sectors > 99 || settings_.fundingBodies < 1 || settings_.fundingBodies > 899 ||
            settings_.flowsPerMonth < 0 || settings_.months < 1)
            throw std::invalid_argument("generator settings out of range");
        GeneratedData data;
        data.currentPeriod = settings_.currentPeriod;
        database_.begin();
        try {
            writeReferenceFiles(data);
            for (int back = settings_.months - 1; back >= 0; --back) writeMonth(back, data);
            database_.commit();
        } catch (...) {
            database_.rollback();
            throw;
        }
        return data;
    }

private:
    void put(const std::string& file, const std::string& key, const DynamicArray& record) {
        database_.OpenFile(file)->write(key, record);
    }

    void writeReferenceFiles(GeneratedData& data) {
        DynamicArray issuer;
        issuer.set(1, "FÉDÉRATION DE TEST");
        issuer.set(4, "1");
        issuer.set(5, "RUE DES ESSAIS");
        issuer.set(8, "45000");
        issuer.set(9, "ORLÉANS");
        put("ASSOCIATION", "001", issuer);
        DynamicArray period;
        period.set(1, settings_.currentPeriod);
        put("PERIODESPAIE", "1", period);
        DynamicArray counter;
        counter.set(10, padded(invoiceNumber_, 10));
        put("NUMEROFACT", "001", counter);

        for (int s = 0; s < settings_.sectors; ++s) {
            DynamicArray sector;
            sector.set(1, "SECTEUR " + std::to_string(s + 1));
            put("SECTEUR", sectorCode(s), sector);
        }

        DynamicArray activity;
        activity.set(1, "AIDE À DOMICILE");
        activity.set(12, "P");
        setValues(activity, 14, {"2260", "2330"});
        setValues(activity, 15, {firstDayOf("202501"), firstDayOf("202601")});
        setValues(activity, 20, {"1", "1"});
        put("ACTIVITES", "AAD", activity);
        if (settings_.varied) {
            DynamicArray other;
            other.set(1, "AUXILIAIRE DE VIE");
            other.set(12, "P");
            setValues(other, 14, {"2410", "2480", ""});
            setValues(other, 15, {firstDayOf("202501"), firstDayOf("202606"), firstDayOf("202612")});
            setValues(other, 20, {"2", "1", "2"});
            put("ACTIVITES", "AUX", other);
            if (random_.chance(30)) {
                issuer.set(1, "FÉDÉRATION DÉPARTEMENTALE DES ASSOCIATIONS D'AIDE À DOMICILE DU LOIRET ET ENVIRONS");
                issuer.set(7, "BÂTIMENT B");
                put("ASSOCIATION", "001", issuer);
            }
        }

        for (int b = 0; b < settings_.fundingBodies; ++b) {
            DynamicArray body;
            body.set(1, "ORGANISME FINANCEUR " + std::to_string(b + 1));
            body.set(2, "ORG" + padded(b + 1, 3));
            body.set(18, b % 5 == 4 ? "C" : "P");
            setValues(body, 25, {firstDayOf("202601"), firstDayOf("202501")});
            setValues(body, 26, {std::to_string(random_.between(1900, 2600)), std::to_string(random_.between(1800, 2500))});
            body.set(47, "AAD");
            if (settings_.varied) varyFundingBody(body, b);
            put("ORGPRISECHARGE", bodyCode(b), body);
        }

        for (int a = 0; a < settings_.associations; ++a) {
            Association association{associationCode(a), {}};
            const int sectorCount = std::min(settings_.sectors, random_.between(1, settings_.varied ? 4 : 3));
            const int firstSector = random_.between(0, settings_.sectors - 1);
            for (int s = 0; s < sectorCount; ++s)
                association.sectors.push_back(sectorCode((firstSector + s) % settings_.sectors));

            DynamicArray record;
            record.set(1, "ASSOCIATION " + association.code);
            record.set(4, std::to_string(a + 1));
            record.set(5, "RUE DU TEST");
            record.set(8, "45000");
            record.set(9, "ORLÉANS");
            setValues(record, 41, association.sectors);
            setValues(record, 49, {firstDayOf("202501"), firstDayOf("202601")});
            setValues(record, 50, {"1", "2"});
            setValues(record, 51, {std::to_string(random_.between(2000, 2400)), std::to_string(random_.between(2000, 2400))});
            if (settings_.varied) varyAssociation(record);
            put("FEDEASSOC", association.code, record);

            DynamicArray scale;
            scale.set(1, a % 2 == 0 ? "0" : "1");
            scale.set(2, a % 2 == 0 ? "140" : "750");
            setValues(scale, 7, {bodyCode(0)});
            setValues(scale, 8, {"1"});
            setValues(scale, 9, {"600"});
            setValues(scale, 3, {"COTISATION FÉDÉRALE"});
            setValues(scale, 4, {"12000"});
            setValues(scale, 5, {"706200"});
            setValues(scale, 6, {"C"});
            setValues(scale, 10, {"411000"});
            setValues(scale, 11, {"D"});
            if (settings_.varied) varyScale(scale);
            if (!settings_.varied || !random_.chance(10)) put("BAREMEFEDEASSO", association.code + "P", scale);

            DynamicArray parameters;
            parameters.set(6, "706100");
            parameters.set(7, "411000");
            parameters.set(8, "VT");
            parameters.set(12, "708800");
            parameters.set(14, "411" + association.code);
            parameters.set(15, "FG" + association.code);
            if (!settings_.varied || !random_.chance(10)) put("FLUXPARAM", association.code, parameters);

            data.associationCodes.push_back(association.code);
            associations_.push_back(std::move(association));
        }
    }

    // A funding body of another type, without a rate of its own, with only later rates, with
    // a long name or no abbreviation, or working for the other activity.
    void varyFundingBody(DynamicArray& body, int index) {
        body.set(18, random_.chance(25) ? "C" : "P");
        if (random_.chance(20)) setValues(body, 26, {"0", "0"});
        if (random_.chance(15)) setValues(body, 25, {firstDayOf("202702"), firstDayOf("202701")});
        if (random_.chance(20)) body.set(1, "ORGANISME FINANCEUR DÉPARTEMENTAL DE L'ACTION SOCIALE " + std::to_string(index + 1));
        if (random_.chance(10)) body.set(2, "");
        if (random_.chance(30)) body.set(47, "AUX");
    }

    // Long names, missing address parts, an address complement, a rate history of 1 to 3
    // entries of either kind.
    void varyAssociation(DynamicArray& record) {
        if (random_.chance(20)) record.set(1, record.get(1) + " - SERVICE D'AIDE ET D'ACCOMPAGNEMENT À DOMICILE DES PERSONNES ÂGÉES");
        if (random_.chance(20)) record.set(5, "");
        if (random_.chance(20)) record.set(7, "RÉSIDENCE LES TILLEULS");
        const int entries = random_.between(1, 3);
        static const char* const kDates[] = {"202412", "202501", "202603", "202610", "202612", "202701"};
        std::vector<std::string> dates, kinds, rates;
        for (int e = 0; e < entries; ++e) {
            dates.push_back(firstDayOf(kDates[random_.between(0, 5)]));
            kinds.push_back(random_.chance(50) ? "1" : "2");
            rates.push_back(std::to_string(random_.between(1800, 2600)));
        }
        record.set(49, "");
        record.set(50, "");
        record.set(51, "");
        setValues(record, 49, dates);
        setValues(record, 50, kinds);
        setValues(record, 51, rates);
    }

    // A fee scale per hour or by percentage, entries for some funding bodies, and 0 to 4
    // complementary items: charges, credits, zero, long labels, either side.
    void varyScale(DynamicArray& scale) {
        const bool perHour = random_.chance(50);
        scale.set(1, perHour ? "0" : "1");
        scale.set(2, std::to_string(perHour ? random_.between(50, 300) : random_.between(200, 1500)));
        for (int attribute : {3, 4, 5, 6, 7, 8, 9, 10, 11}) scale.set(attribute, "");
        const int entries = random_.between(0, 3);
        for (int e = 1; e <= entries; ++e) {
            const bool entryPerHour = random_.chance(50);
            scale.set(7, e, bodyCode(random_.between(0, settings_.fundingBodies - 1)));
            scale.set(8, e, entryPerHour ? "0" : "1");
            scale.set(9, e, std::to_string(entryPerHour ? random_.between(50, 300) : random_.between(200, 1500)));
        }
        static const char* const kLabels[] = {"COTISATION FÉDÉRALE", "FORMATION DES INTERVENANTS",
                                              "REMBOURSEMENT DE FRAIS DE DÉPLACEMENT DES AIDES À DOMICILE",
                                              "AVOIR", "ABONNEMENT LOGICIEL"};
        const int items = random_.between(0, 4);
        for (int i = 1; i <= items; ++i) {
            const int kind = random_.between(1, 10);
            const int amount = kind <= 6 ? random_.between(100, 50000) : kind <= 9 ? -random_.between(100, 20000) : 0;
            scale.set(3, i, kLabels[random_.between(0, 4)]);
            scale.set(4, i, std::to_string(amount));
            scale.set(5, i, "7062" + std::to_string(i));
            scale.set(6, i, random_.chance(50) ? "C" : "D");
            scale.set(10, i, "4110" + std::to_string(i));
            scale.set(11, i, random_.chance(50) ? "D" : "C");
        }
    }

    // One month of flows; `back` months before the current period (0: the current one).
    void writeMonth(int back, GeneratedData& data) {
        const std::string period = periodBefore(settings_.currentPeriod, back);
        const bool invoiced = back > 0;
        const std::shared_ptr<db::File> flows = database_.OpenFile("FLUXCOMPTABLES");
        for (int i = 0; i < settings_.flowsPerMonth; ++i) {
            const Association& association = associations_[static_cast<std::size_t>(
                random_.between(0, static_cast<int>(associations_.size()) - 1))];
            const std::string& sector =
                association.sectors[static_cast<std::size_t>(random_.between(0, static_cast<int>(association.sectors.size()) - 1))];
            const bool withoutBody = random_.chance(10);
            const std::string body = withoutBody ? "000" : bodyCode(random_.between(0, settings_.fundingBodies - 1));
            const bool beneficiaryOnly = random_.chance(10);
            // A few hours of the month before, billed with this month.
            const bool late = random_.chance(settings_.varied ? 6 : 2);
            const int monthsLate = late && settings_.varied && random_.chance(30) ? 2 : 1;
            const std::string keyPeriod = late ? periodBefore(period, monthsLate) : period;
            const int hours = random_.between(100, 6000);
            const int rate = random_.between(1900, 2600);
            const int amount = hours * rate / 100;
            const int beneficiaryPart = amount / 10;

            DynamicArray flow;
            flow.set(1, beneficiaryOnly ? "" : period);
            flow.set(4, body);
            flow.set(6, std::to_string(hours));
            if (!beneficiaryOnly) flow.set(7, std::to_string(amount - beneficiaryPart));
            flow.set(17, std::to_string(beneficiaryPart));
            flow.set(36, period);
            if (settings_.varied) {
                if (random_.chance(4)) flow.set(6, "");
                if (random_.chance(4)) flow.set(7, "0");
                if (random_.chance(4)) flow.set(17, "0");
            }
            if (invoiced) {
                flow.set(20, padded(invoiceNumber_ - back * settings_.associations + random_.between(0, settings_.associations - 1), 10));
                flow.set(21, body == "000" ? "TAUX PRESTATION" : "ORGANISME FINANCEUR");
                flow.set(22, std::to_string(hours * 140 / 100));
                flow.set(23, "411" + association.code);
                flow.set(24, "FG" + association.code);
                flow.set(25, "VT");
                flow.set(26, "706100");
                flow.set(33, std::to_string(hours));
                flow.set(34, "0");
                flow.set(35, "140");
                if (beneficiaryOnly) flow.set(37, "1");
            } else {
                ++data.currentFlows;
            }
            const std::string key = (late ? "F0002" : "F0001") + association.code + sector + keyPeriod + padded(i, 6);
            flows->write(key, flow);
            ++data.totalFlows;
        }
    }

    db::SqliteDatabase& database_;
    const GeneratorSettings& settings_;
    Random random_;
    std::vector<Association> associations_;
    int invoiceNumber_ = 100000;
};

}  // namespace

std::string periodBefore(const std::string& period, int monthsBack) {
    const int months = std::stoi(period.substr(0, 4)) * 12 + std::stoi(period.substr(4)) - 1 - monthsBack;
    return padded(months / 12, 4) + padded(months % 12 + 1, 2);
}

GeneratedData generate(db::SqliteDatabase& database, const GeneratorSettings& settings) {
    return Writer(database, settings).run();
}

}  // namespace tessaran::bench
