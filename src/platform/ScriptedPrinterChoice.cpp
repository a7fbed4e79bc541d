#include "ScriptedPrinterChoice.h"

#include <stdexcept>

namespace tessaran::platform {

namespace {

// Forwards every drawing operation to a recording shared with the printer choice, so that
// the recording survives the printer that drew on it.
class ForwardingPageSink : public PageSink {
public:
    explicit ForwardingPageSink(std::shared_ptr<RecordingPageSink> target) : target_(std::move(target)) {}
    void drawText(double x, double y, std::string_view text, const Font& font) override {
        target_->drawText(x, y, text, font);
    }
    void drawLine(double x1, double y1, double x2, double y2, int width) override {
        target_->drawLine(x1, y1, x2, y2, width);
    }
    void newPage() override { target_->newPage(); }
    void endDocument() override { target_->endDocument(); }
    void publish() override { target_->publish(); }
    void abandon() override { target_->abandon(); }
    void setWatermark(const std::string& text) override { target_->setWatermark(text); }
    void setDocumentInfo(const DocumentInfo& info) override { target_->setDocumentInfo(info); }

private:
    std::shared_ptr<RecordingPageSink> target_;
};

}  // namespace

ScriptedPrinterChoice::ScriptedPrinterChoice(PrinterPick answer, std::vector<std::string> names)
    : answer_(answer), names_(std::move(names)) {}

PrinterPick ScriptedPrinterChoice::choose() {
    ++asked_;
    return answer_;
}

std::unique_ptr<PageSink> ScriptedPrinterChoice::open(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= names_.size()) {
        throw std::out_of_range("no printer at index " + std::to_string(index));
    }
    last_ = std::make_shared<RecordingPageSink>();
    return std::make_unique<ForwardingPageSink>(last_);
}

}  // namespace tessaran::platform
