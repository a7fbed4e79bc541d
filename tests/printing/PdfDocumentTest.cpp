// The three documents drawn one after the other on a real PDF file, as a run prints them.
// Set TESSARAN_PRINTING_PDF to keep the file and look at the pages.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "PrintingFixture.h"
#include "platform/qt/QtPageSink.h"

namespace tessaran::printing_test {
namespace {

TEST_F(PrintingTest, StatementRecapAndInvoiceMakeOnePdfDocument) {
    const char* kept = std::getenv("TESSARAN_PRINTING_PDF");
    const std::filesystem::path path = kept != nullptr ? std::filesystem::path(kept)
                                                       : std::filesystem::temp_directory_path() /
                                                             ("tessaran-printing-" + std::to_string(::getpid()) + ".pdf");
    printTo(platform::openPdfOutput(path.string()));
    auto a = access();

    // Widest figures in every column, a type "C" line, tiny figures.
    control->Imprime_Entete();
    for (const auto& [label, period, hours, amount, fee, beneficiary, body] :
         {std::tuple{"CAISSE REGIONALE D ASSURANCE MALADIE", "202610", 12550.0, 278888.0, 188.25, 41250.0, "100"},
          std::tuple{"CAISSE REGIONALE D ASSURANCE MALADIE", "202611", 99999.0, 9999999.0, 9999.99, 99999999.0, "100"},
          std::tuple{"CONSEIL GENERAL", "202611", 800.0, 16000.0, 0.0, 0.0, "200"},
          std::tuple{"TAUX PRESTATION", "202609", 1.0, 1.0, 0.01, 1.0, "100"}}) {
        load("ORGPRISECHARGE", body);
        a.LibelleDetail() = label;
        a.PeriodeDetail() = period;
        a.HeuresDetail() = hours;
        a.CaisseDetail() = amount;
        a.FraisDetail() = fee;
        a.BenefDetail() = beneficiary;
        control->Imprime_Detail();
    }
    control->Imprime_Fin_Tableau();

    printer().newPage();
    load("FEDEASSOC", "A02");
    load("BAREMEFEDEASSO", "A02");
    addLine(*a.Detail(), {"CAISSE REGIONALE", "202610", "12550", "278888", "188.25", "41250", "P"});
    addLine(*a.Detail(), {"CONSEIL GENERAL", "202611", "800", "16000", "0", "0", "C"});
    control->Imprime_Recap();

    printer().newPage();
    addLine(*a.Cumul(), {"CAISSE REGIONALE", "202610", "12550", "0", "150", "18825", "P"});
    addLine(*a.Cumul(), {"TAUX PRESTATION", "202611", "0", "50000", "600", "3000", "P"});
    control->Imprime_Frais_Gestion();
    printer().endDoc();

    std::ifstream pdf(path, std::ios::binary);
    std::string header(4, '\0');
    pdf.read(header.data(), 4);
    EXPECT_EQ(header, "%PDF");
    if (kept == nullptr) std::filesystem::remove(path);
}

}  // namespace
}  // namespace tessaran::printing_test
