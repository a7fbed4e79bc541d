#include "QtPageSink.h"

#include <QColor>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QPrintEngine>
#include <QPrinterInfo>
#include <QString>
#include <QStringList>

#include <sys/stat.h>

#include <fstream>
#include <stdexcept>

#include "PdfDocumentInfo.h"
#include "QtPrinterSink.h"
#include "platform/StagedFile.h"
#include "platform/TextPageSink.h"

namespace tessaran::platform {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kPointsPerInch = 72.0;
// A ruled line is a quarter of a point wide per unit of drawing width: width 3 gives 0.75 pt
// (0.26 mm), firm on paper while leaving air between the figures and the column rules.
constexpr double kRulePointsPerUnit = 0.25;
// At 1440 dpi a device pixel is a twip, and 10- and 14-point fonts get whole pixel sizes (200
// and 280), so the advance of each character keeps the model's 12 twips per point.
constexpr int kResolutionDpi = 1440;

// The plain-text file: the text rendition written beside the target, put in its place when
// the document ends.
class TextFilePageSink : public PageSink {
public:
    explicit TextFilePageSink(const std::string& path)
        : staged_(path), file_(staged_.stagingPath(), std::ios::binary | std::ios::trunc), text_(file_) {
        if (!file_) throw std::runtime_error("cannot write the text file \"" + path + "\"");
    }
    void drawText(double x, double y, std::string_view text, const Font& font) override {
        text_.drawText(x, y, text, font);
    }
    void drawLine(double x1, double y1, double x2, double y2, int width) override {
        text_.drawLine(x1, y1, x2, y2, width);
    }
    void newPage() override { text_.newPage(); }
    void endDocument() override {
        text_.endDocument();
        file_.flush();
        file_.close();
        if (!file_) throw std::runtime_error("the text file \"" + staged_.target() + "\" could not be written whole");
    }
    void publish() override { staged_.publish(); }
    void abandon() override {
        file_.close();
        staged_.discard();
    }

private:
    StagedFile staged_;
    std::ofstream file_;
    TextPageSink text_;
};

}  // namespace

QString screenFontFamily(const std::string& name) {
    // Liberation Mono has the metrics of "Courier New": the column grid depends on it.
    if (name == "Courier New" || name.empty()) return QStringLiteral("Liberation Mono");
    return QString::fromStdString(name);
}

QFont qtFont(const Font& font) {
    QFont result(screenFontFamily(font.name));
    result.setPointSizeF(font.size);
    result.setBold(font.bold);
    result.setUnderline(font.underline);
    result.setKerning(false);
    result.setStyleHint(QFont::TypeWriter);
    return result;
}

void preparePageLayout(QPrinter& printer, bool forceA4) {
    printer.setResolution(kResolutionDpi);
    printer.setFullPage(false);
    if (forceA4) printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(kMarginLeftMm, kMarginTopMm, kMarginRightMm, kMarginBottomMm),
                           QPageLayout::Millimeter);
    printer.setCopyCount(1);  // the run prints each copy itself
}

QtPrinterPageSink::QtPrinterPageSink(std::unique_ptr<QPrinter> printer, const std::string& outputName,
                                     std::unique_ptr<StagedFile> file)
    : ownedPrinter_(std::move(printer)),
      printer_(ownedPrinter_.get()),
      painter_(std::make_unique<QPainter>()),
      file_(std::move(file)) {
    if (file_) printer_->setOutputFileName(QString::fromStdString(file_->stagingPath()));
    if (!painter_->begin(printer_)) {
        throw std::runtime_error("cannot print to " + outputName);
    }
    pixelsPerTwip_ = printer_->resolution() / kTwipsPerInch;
}

QtPrinterPageSink::QtPrinterPageSink(QPrinter& printer, const std::string& outputName)
    : printer_(&printer), painter_(std::make_unique<QPainter>()) {
    if (!painter_->begin(printer_)) {
        throw std::runtime_error("cannot print to " + outputName);
    }
    pixelsPerTwip_ = printer_->resolution() / kTwipsPerInch;
}

QtPrinterPageSink::~QtPrinterPageSink() { QtPrinterPageSink::abandon(); }

void QtPrinterPageSink::drawText(double x, double y, std::string_view text, const Font& font) {
    if (ended_) return;
    if (!currentFont_ || !(*currentFont_ == font)) {
        painter_->setFont(qtFont(font));
        const QFontMetricsF metrics(painter_->font(), printer_);
        ascent_ = metrics.ascent();
        blankAdvance_ = metrics.horizontalAdvance(QLatin1Char(' '));
        currentFont_ = font;
    }
    // Blanks at either end of an item leave no mark on paper (columns are padded with them):
    // the item is drawn without them at the place its first mark had, which spares the page
    // their glyphs. An underlined item keeps them, since its rule runs under them.
    std::string_view shown(text);
    double left = x * pixelsPerTwip_;
    if (!font.underline) {
        const std::size_t first = shown.find_first_not_of(' ');
        if (first == std::string_view::npos) return;
        shown = shown.substr(first, shown.find_last_not_of(' ') + 1 - first);
        left += static_cast<double>(first) * blankAdvance_;
    }
    // The item's top is at y: its baseline is one ascent lower.
    painter_->setPen(QPen(Qt::black));
    painter_->drawText(QPointF(left, y * pixelsPerTwip_ + ascent_),
                       QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size())));
}

void QtPrinterPageSink::drawLine(double x1, double y1, double x2, double y2, int width) {
    if (ended_) return;
    const double pixels = std::max(width, 1) * kRulePointsPerUnit / kPointsPerInch * printer_->resolution();
    QPen pen(Qt::black, pixels, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    painter_->setPen(pen);
    painter_->drawLine(QPointF(x1 * pixelsPerTwip_, y1 * pixelsPerTwip_),
                       QPointF(x2 * pixelsPerTwip_, y2 * pixelsPerTwip_));
}

void QtPrinterPageSink::newPage() {
    if (ended_) return;
    if (!printer_->newPage()) throw std::runtime_error("the printer refused a new page");
    drawWatermark();
}

void QtPrinterPageSink::setWatermark(const std::string& text) {
    watermark_ = QString::fromStdString(text);
    drawWatermark();
}

// The mark goes across the middle of the page, in light grey under what the page prints.
void QtPrinterPageSink::drawWatermark() {
    if (watermark_.isEmpty() || ended_) return;
    painter_->save();
    const QRectF page = painter_->viewport();
    painter_->translate(page.center());
    painter_->rotate(-45);
    QFont font = qtFont(Font{"Courier New", 40, true, false});
    painter_->setFont(font);
    painter_->setPen(QPen(QColor(190, 190, 190)));
    const QFontMetricsF metrics(painter_->font(), printer_);
    const double width = metrics.horizontalAdvance(watermark_);
    painter_->drawText(QPointF(-width / 2, metrics.ascent() / 2), watermark_);
    painter_->restore();
    currentFont_.reset();
}

// A PDF file is finished here and checked; a printer keeps the job open until publish(), so
// that it prints nothing before the run's records are kept.
void QtPrinterPageSink::endDocument() {
    if (ended_ || !file_) return;
    ended_ = true;
    const bool finished = painter_->end();
    struct stat written {};
    bool whole = finished && stat(file_->stagingPath().c_str(), &written) == 0 && written.st_size > 0;
    if (whole && documentInfo_) {
        try {
            appendPdfDocumentInfo(file_->stagingPath(), *documentInfo_);
        } catch (const std::runtime_error&) {
            whole = false;
        }
    }
    if (!whole) {
        file_->discard();
        throw std::runtime_error("the PDF file \"" + file_->target() + "\" could not be written whole");
    }
}

void QtPrinterPageSink::setDocumentInfo(const DocumentInfo& info) {
    documentInfo_ = info;
    // QPrinter::setDocName is refused once painting has begun; the engine still takes the
    // job's name until the job is sent.
    if (!file_) printer_->printEngine()->setProperty(QPrintEngine::PPK_DocumentName, QString::fromStdString(info.title));
}

void QtPrinterPageSink::publish() {
    if (file_) {
        file_->publish();
        return;
    }
    if (ended_) return;
    ended_ = true;
    if (!painter_->end()) throw std::runtime_error("the printer did not take the document");
}

void QtPrinterPageSink::abandon() {
    if (file_) {
        if (!ended_) painter_->end();
        ended_ = true;
        file_->discard();
        return;
    }
    if (ended_) return;
    ended_ = true;
    printer_->abort();
    painter_->end();
}

std::unique_ptr<PageSink> openPdfOutput(const std::string& path) {
    auto staged = std::make_unique<StagedFile>(path);
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setFontEmbeddingEnabled(true);
    printer->setCreator(QStringLiteral("Tessaran"));
    printer->setDocName(QStringLiteral("Etats de facturation et factures des frais de gestion"));
    preparePageLayout(*printer, true);
    return std::make_unique<QtPrinterPageSink>(std::move(printer), "the PDF file \"" + path + "\"", std::move(staged));
}

std::unique_ptr<PageSink> openSystemPrinter(const std::string& printerName) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(printerName));
    if (info.isNull()) {
        const QStringList names = QPrinterInfo::availablePrinterNames();
        throw std::runtime_error("unknown printer \"" + printerName + "\"; " +
                                 (names.isEmpty() ? std::string("no printer is installed")
                                                  : "available: " + names.join(QStringLiteral(", ")).toStdString()));
    }
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::NativeFormat);
    preparePageLayout(*printer, true);
    return std::make_unique<QtPrinterPageSink>(std::move(printer), "the printer \"" + printerName + "\"");
}

std::unique_ptr<PageSink> openTextFileOutput(const std::string& path) {
    return std::make_unique<TextFilePageSink>(path);
}

}  // namespace tessaran::platform
