#include "PreviewPrinterChoice.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

#include <stdexcept>

#include "QtPrinterSink.h"
#include "platform/RecordingPageSink.h"

namespace tessaran::platform {
namespace {

// Draws the recorded document again on `printer`, page by page.
void replay(const RecordingPageSink& recording, QPrinter& printer) {
    preparePageLayout(printer, true);
    QtPrinterPageSink output(printer, "the preview");
    output.setWatermark(recording.watermark());
    for (const RecordedOp& op : recording.ops()) {
        switch (op.kind) {
        case RecordedOp::Kind::Text: output.drawText(op.x, op.y, op.text, op.font); break;
        case RecordedOp::Kind::Line: output.drawLine(op.x, op.y, op.x2, op.y2, op.width); break;
        case RecordedOp::Kind::NewPage: output.newPage(); break;
        case RecordedOp::Kind::EndDocument: break;
        }
    }
    output.endDocument();
    output.publish();
}

class PreviewPageSink : public RecordingPageSink {
public:
    explicit PreviewPageSink(QWidget* parent) : parent_(parent) {}
    // The preview is shown when the run releases its document.
    void publish() override {
        RecordingPageSink::publish();
        QPrinter printer(QPrinter::HighResolution);
        QPrintPreviewDialog dialog(&printer, parent_);
        dialog.setWindowTitle(QStringLiteral("Aperçu des états de facturation et des factures"));
        // The preview's own print action would print documents that are not valid.
        for (QToolBar* bar : dialog.findChildren<QToolBar*>()) {
            const auto actions = bar->actions();
            if (!actions.isEmpty()) actions.last()->setVisible(false);
        }
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                         [this](QPrinter* target) { replay(*this, *target); });
        dialog.exec();
    }

private:
    QWidget* parent_;
};

}  // namespace

PreviewPrinterChoice::PreviewPrinterChoice(QWidget* parent) : parent_(parent) {}

std::unique_ptr<PageSink> PreviewPrinterChoice::open(int index) {
    if (index != 0) throw std::out_of_range("no preview at index " + std::to_string(index));
    return std::make_unique<PreviewPageSink>(parent_);
}

}  // namespace tessaran::platform
