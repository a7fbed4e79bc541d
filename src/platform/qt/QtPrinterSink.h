#pragma once
// Drawing on a QPrinter (PDF file or system printer): twips from the top-left of the printable
// area, "Courier New" drawn with Liberation Mono, text placed by its top, rules in points.

#include <QFont>
#include <QString>

#include <memory>
#include <optional>
#include <string>

#include "platform/PageSink.h"
#include "platform/StagedFile.h"

class QPainter;
class QPrinter;

namespace tessaran::platform {

// Page margins of every printed page: the ruled table (0.1 cm to 19.5 cm wide, down to
// 25.4 cm) sits inside A4 portrait with room on each side.
inline constexpr double kMarginLeftMm = 7.0;
inline constexpr double kMarginTopMm = 12.0;
inline constexpr double kMarginRightMm = 5.0;
inline constexpr double kMarginBottomMm = 10.0;

// The installed family that draws a document font name.
QString screenFontFamily(const std::string& name);
QFont qtFont(const Font& font);
// Resolution, margins, portrait orientation (and A4 paper when `forceA4`), one copy.
void preparePageLayout(QPrinter& printer, bool forceA4);

class QtPrinterPageSink : public PageSink {
public:
    // Starts painting at once; throws std::runtime_error naming `outputName` when it cannot.
    // With `file`, the printer writes the file's staging path and the document is put in
    // place of the target when it ends.
    QtPrinterPageSink(std::unique_ptr<QPrinter> printer, const std::string& outputName,
                      std::unique_ptr<StagedFile> file = nullptr);
    // Draws on a printer someone else owns (a print-preview window's).
    QtPrinterPageSink(QPrinter& printer, const std::string& outputName);
    ~QtPrinterPageSink() override;  // drops the document when the run did not end it
    void drawText(double x, double y, std::string_view text, const Font& font) override;
    void drawLine(double x1, double y1, double x2, double y2, int width) override;
    void newPage() override;
    void endDocument() override;
    void publish() override;
    void abandon() override;
    void setWatermark(const std::string& text) override;
    // A PDF file gets it in its document information when it ends; a printer names its job
    // with the title.
    void setDocumentInfo(const DocumentInfo& info) override;

private:
    void drawWatermark();

    std::unique_ptr<QPrinter> ownedPrinter_;
    QPrinter* printer_;
    std::unique_ptr<QPainter> painter_;
    double pixelsPerTwip_ = 1.0;
    bool ended_ = false;
    // The font of the last item and its ascent in device pixels: consecutive items mostly share one.
    std::optional<Font> currentFont_;
    double ascent_ = 0.0;
    double blankAdvance_ = 0.0;  // the width of one blank in that font, in device pixels
    std::unique_ptr<StagedFile> file_;
    QString watermark_;
    std::optional<DocumentInfo> documentInfo_;
};

}  // namespace tessaran::platform
