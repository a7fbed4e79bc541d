#include "Printer.h"

#include <cmath>

namespace tessaran::platform {

Printer::Printer(std::unique_ptr<PageSink> sink, std::string deviceName)
    : sink_(std::move(sink)), deviceName_(std::move(deviceName)) {}

int Printer::characterCount(std::string_view utf8) {
    int count = 0;
    for (const char c : utf8) {
        // Count every byte that does not continue a multi-byte sequence.
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    }
    return count;
}

double Printer::lineHeight(double points) { return std::round(points * 20.0 * 1.1328125); }

void Printer::startPendingPage() {
    if (!pagePending_) return;
    pagePending_ = false;
    sink_->newPage();
}

void Printer::print(std::string_view text, bool endsLine) {
    startPendingPage();
    if (!text.empty()) sink_->drawText(x_, y_, text, font_);
    if (endsLine) {
        x_ = 0;
        y_ += lineHeight(font_.size);
    } else {
        x_ += characterCount(text) * characterWidth(font_.size);
    }
}

void Printer::line(double x1, double y1, double x2, double y2) {
    startPendingPage();
    sink_->drawLine(x1, y1, x2, y2, drawWidth_);
    x_ = x2;
    y_ = y2;
}

void Printer::newPage() {
    // The output turns the page when something is put on the new one: a document that ends
    // right after a new page has no blank page at its end, as a printer's own driver gives.
    startPendingPage();
    pagePending_ = true;
    ++pages_;
    x_ = 0;
    y_ = 0;
}

void Printer::endDoc() {
    if (documentEnded_) return;
    documentEnded_ = true;
    if (pagePending_) {
        pagePending_ = false;
        --pages_;
    }
    sink_->endDocument();
}

void Printer::publish() {
    if (!documentEnded_ || published_) return;
    published_ = true;
    sink_->publish();
}

void Printer::abandon() {
    if (published_) return;
    documentEnded_ = true;
    published_ = true;
    sink_->abandon();
}

}  // namespace tessaran::platform
