// tessaran_floor: what a print run costs at the least on SQLite and on the printer. It does the
// run's data work with straight SQL on the storage tables, and draws the run's texts on the same
// outputs, without the engine, the select language, the record layer or the documents:
//
//  - reads once the flows a print run selects (the month's flows of every association not yet
//    invoiced: attribute 1 the period with a funding body, or attribute 36 the period for the
//    flows billed to the beneficiary only), one query per association's sector and key prefix,
//    through the secondary index tables of those attributes and the flow table (or the one
//    shared index table of a database of format 3 or earlier);
//  - writes each of them back once (one UPDATE per flow, with about the bytes a run adds) in one
//    transaction, committed with the run's synchronisation; the storage's triggers on the flow
//    table are dropped first, inside that transaction, so that the floor pays for none;
//  - draws the texts of a text print of the same run (`--layout`, the file written by
//    `tessaran print ... --output run.txt`): each page of the text (pages are separated by form
//    feeds) is one page, each run of characters separated by two blanks or more one text drawn at
//    its line and column, on the PDF output of the application (same writer, resolution, page
//    and margins) or on its text file output.
//
// The database is changed (the flows are written, the triggers dropped): work on a copy.
// Usage: tessaran_floor --db PATH --period YYYYMM --layout TEXT --output OUT.pdf|OUT.txt

#include <QApplication>

#include <chrono>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "database/SqliteHandle.h"
#include "database/StorageSchema.h"
#include "platform/qt/QtPageSink.h"

namespace {

namespace sql = tessaran::db::sqlite;
namespace schema = tessaran::db::schema;
using tessaran::platform::Font;
using tessaran::platform::PageSink;

constexpr char kAttributeMark = '\xFE';
constexpr char kValueMark = '\xFD';
constexpr double kColumnTwips = 120.0;  // the grid of the text output
constexpr double kRowTwips = 227.0;
// About what a run adds to a flow: invoice number, line label, fee, accounts, fee basis.
constexpr std::string_view kRunAdditions =
    "\xFE" "0000000001\xFE" "ORGANISME DE PRISE EN CHARGE\xFE" "12.5\xFE" "411000\xFE" "706000\xFE" "VE\xFE"
    "12\xFE" "150\xFE" "0.05";

// Attribute `number` (from 1) of a record's text, without copying it.
std::string_view attributeOf(std::string_view record, int number) {
    std::size_t start = 0;
    for (int a = 1; a < number; ++a) {
        start = record.find(kAttributeMark, start);
        if (start == std::string_view::npos) return {};
        ++start;
    }
    const std::size_t end = record.find(kAttributeMark, start);
    return record.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

struct Flow {
    std::string key;
    std::string record;
};

// The index entries of an attribute of the flows, as a table and the start of a WHERE clause.
std::string flowIndex(sqlite3* connection, int attribute) {
    if (schema::indexLayout(connection) == schema::IndexLayout::TablePerAttribute)
        return sql::quotedIdentifier(schema::indexTableName("FLUXCOMPTABLES", attribute)) + " WHERE ";
    return "tessaran_index WHERE file = 'FLUXCOMPTABLES' AND attribute = " + std::to_string(attribute) + " AND ";
}

// The month's flows still to invoice, read association's sector by sector.
std::vector<Flow> readFlows(sqlite3* connection, const std::string& period, int& queries) {
    const std::string period1 = flowIndex(connection, 1);
    const std::string period36 = flowIndex(connection, 36);
    // The key prefixes of the month's flows ("F0001", ...), found by skipping from one to the next.
    std::vector<std::string> prefixes;
    {
        sql::Statement next(connection, "SELECT min(k) FROM (SELECT min(key) AS k FROM " + period1 +
                                            "value = ?1 AND key >= ?2 UNION ALL SELECT min(key) FROM " + period36 +
                                            "value = ?1 AND key >= ?2)");
        std::string from;
        for (;;) {
            next.bind(1, period).bind(2, from);
            if (!next.step() || next.isNull(0)) break;
            const std::string prefix(next.text(0).substr(0, 5));
            next.reset();
            prefixes.push_back(prefix);
            from = prefix + '\xFF';
        }
        next.reset();
    }
    std::vector<std::pair<std::string, std::string>> sectors;  // association, sector
    {
        sql::Statement associations(connection, "SELECT key, record FROM \"FEDEASSOC\" ORDER BY key");
        while (associations.step()) {
            const std::string code(associations.text(0));
            std::string_view list = attributeOf(associations.blob(1), 41);
            while (!list.empty()) {
                const std::size_t end = list.find(kValueMark);
                sectors.emplace_back(code, std::string(list.substr(0, end)));
                list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
            }
        }
    }
    const std::string range = "value = ?1 AND key >= ?2 AND key < ?3";
    sql::Statement flows(connection, "SELECT i.attribute, f.key, f.record FROM (SELECT 1 AS attribute, key FROM " +
                                         period1 + range + " UNION ALL SELECT 36, key FROM " + period36 + range +
                                         ") i JOIN \"FLUXCOMPTABLES\" f ON f.key = i.key");
    std::vector<Flow> selected;
    for (const auto& [association, sector] : sectors) {
        for (const std::string& prefix : prefixes) {
            const std::string from = prefix + association + sector;
            flows.bind(1, period).bind(2, from).bind(3, from + '\xFF');
            ++queries;
            while (flows.step()) {
                const std::string_view record = flows.blob(2);
                const bool beneficiaryOnly = flows.integer(0) == 36;
                if (beneficiaryOnly && (!attributeOf(record, 1).empty() || attributeOf(record, 37) == "1")) continue;
                if (attributeOf(record, 4).empty() || !attributeOf(record, 20).empty()) continue;
                selected.push_back({std::string(flows.text(1)), std::string(record)});
            }
            flows.reset();
        }
    }
    return selected;
}

void writeFlows(sqlite3* connection, const std::vector<Flow>& flows) {
    sql::Statement update(connection, "UPDATE \"FLUXCOMPTABLES\" SET record = ?2 WHERE key = ?1");
    std::string record;
    for (const Flow& flow : flows) {
        record = flow.record;
        record += kRunAdditions;
        update.bind(1, flow.key).bindBlob(2, record).run();
    }
}

// The column of a byte of a UTF-8 line: the characters before it.
std::size_t charactersBefore(const std::string& line, std::size_t byte) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < byte; ++i)
        if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) ++characters;
    return characters;
}

struct Drawn {
    int pages = 0;
    long texts = 0;
};

// Draws the texts of a text print, page by page, at their lines and columns.
Drawn drawLayout(const std::string& layout, PageSink& sink) {
    Drawn drawn;
    std::size_t pageStart = 0;
    while (pageStart <= layout.size()) {
        std::size_t pageEnd = layout.find('\f', pageStart);
        if (pageEnd == std::string::npos) pageEnd = layout.size();
        if (drawn.pages++ > 0) sink.newPage();
        std::istringstream page(layout.substr(pageStart, pageEnd - pageStart));
        std::string line;
        for (int row = 0; std::getline(page, line); ++row) {
            std::size_t column = 0;
            while ((column = line.find_first_not_of(' ', column)) != std::string::npos) {
                std::size_t end = line.find("  ", column);
                if (end == std::string::npos) end = line.size();
                sink.drawText(static_cast<double>(charactersBefore(line, column)) * kColumnTwips, row * kRowTwips,
                              line.substr(column, end - column), Font{});
                ++drawn.texts;
                column = end;
            }
        }
        pageStart = pageEnd + 1;
    }
    sink.endDocument();
    sink.publish();
    return drawn;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        std::string path, period, layoutPath, output;
        for (int i = 1; i + 1 < argc; i += 2) {
            const std::string name = argv[i];
            if (name == "--db") path = argv[i + 1];
            else if (name == "--period") period = argv[i + 1];
            else if (name == "--layout") layoutPath = argv[i + 1];
            else if (name == "--output") output = argv[i + 1];
            else throw std::invalid_argument("unknown option " + name);
        }
        if (path.empty() || period.empty() || layoutPath.empty() || output.empty())
            throw std::invalid_argument(
                "usage: tessaran_floor --db PATH --period YYYYMM --layout TEXT --output OUT.pdf|OUT.txt");
        std::ifstream layoutFile(layoutPath, std::ios::binary);
        if (!layoutFile) throw std::runtime_error("cannot read " + layoutPath);
        const std::string layout((std::istreambuf_iterator<char>(layoutFile)), std::istreambuf_iterator<char>());

        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication application(argc, argv);
        const auto start = std::chrono::steady_clock::now();

        sqlite3* raw = nullptr;
        const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        const sql::ConnectionHandle connection(raw);
        if (rc != SQLITE_OK) throw std::runtime_error("cannot open " + path);
        sql::execute(raw, "PRAGMA synchronous = FULL");
        sql::execute(raw, "PRAGMA temp_store = MEMORY");
        sql::execute(raw, "BEGIN IMMEDIATE");
        sql::execute(raw, "DROP TRIGGER IF EXISTS \"FLUXCOMPTABLES_UPDATE\"");
        int queries = 0;
        const std::vector<Flow> flows = readFlows(raw, period, queries);
        writeFlows(raw, flows);
        const auto sink = output.ends_with(".pdf") ? tessaran::platform::openPdfOutput(output)
                                                   : tessaran::platform::openTextFileOutput(output);
        const Drawn drawn = drawLayout(layout, *sink);
        sql::execute(raw, "COMMIT");

        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        std::cout << flows.size() << " flows read and written (" << queries << " queries), " << drawn.pages
                  << " pages, " << drawn.texts << " texts drawn, " << seconds.count() << " s\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "tessaran_floor: " << error.what() << '\n';
        return 1;
    }
}
