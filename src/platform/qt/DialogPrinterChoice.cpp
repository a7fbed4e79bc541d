#include "DialogPrinterChoice.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <stdexcept>

#include "QtPageSink.h"
#include "QtPrinterSink.h"

namespace tessaran::platform {

namespace {

const std::string kPdfEntry = "PDF";

}  // namespace

struct DialogPrinterChoice::Impl {
    QWidget* parent = nullptr;
    // The printer the user configured in the last dialog, kept until it is opened.
    std::unique_ptr<QPrinter> configured;
    int configuredIndex = -1;
};

DialogPrinterChoice::DialogPrinterChoice(QWidget* parent) : impl_(std::make_unique<Impl>()) { impl_->parent = parent; }

DialogPrinterChoice::~DialogPrinterChoice() = default;

std::vector<std::string> DialogPrinterChoice::printerNames() const {
    std::vector<std::string> names;
    for (const QString& name : QPrinterInfo::availablePrinterNames()) names.push_back(name.toStdString());
    names.push_back(kPdfEntry);
    return names;
}

PrinterPick DialogPrinterChoice::choose() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), impl_->parent);
    dialog.setWindowTitle(QStringLiteral("Choix de l'imprimante"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() != QDialog::Accepted) {
        impl_->configured.reset();
        impl_->configuredIndex = -1;
        return {-1, 1};
    }

    const std::vector<std::string> names = printerNames();
    int index = static_cast<int>(names.size()) - 1;  // PDF
    if (printer->outputFormat() == QPrinter::NativeFormat) {
        const auto found = std::find(names.begin(), names.end(), printer->printerName().toStdString());
        if (found != names.end()) index = static_cast<int>(found - names.begin());
    }
    const int copies = std::max(printer->copyCount(), 1);
    impl_->configured = std::move(printer);
    impl_->configuredIndex = index;
    return {index, copies};
}

std::unique_ptr<PageSink> DialogPrinterChoice::open(int index) {
    const std::vector<std::string> names = printerNames();
    if (index < 0 || static_cast<std::size_t>(index) >= names.size()) {
        throw std::runtime_error("no printer at index " + std::to_string(index));
    }
    if (impl_->configured && impl_->configuredIndex == index) {
        std::unique_ptr<QPrinter> printer = std::move(impl_->configured);
        impl_->configuredIndex = -1;
        preparePageLayout(*printer, false);
        const std::string outputName = printer->outputFormat() == QPrinter::PdfFormat
                                            ? "the PDF file \"" + printer->outputFileName().toStdString() + "\""
                                            : "the printer \"" + printer->printerName().toStdString() + "\"";
        return std::make_unique<QtPrinterPageSink>(std::move(printer), outputName);
    }
    if (names[static_cast<std::size_t>(index)] != kPdfEntry) return openSystemPrinter(names[static_cast<std::size_t>(index)]);
    const QString path = QFileDialog::getSaveFileName(impl_->parent, QStringLiteral("Enregistrer en PDF"), QString(),
                                                      QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty()) throw std::runtime_error("no PDF file was chosen");
    return openPdfOutput(path.toStdString());
}

}  // namespace tessaran::platform
