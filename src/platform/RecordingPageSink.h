#pragma once
// An output that keeps every drawing operation, for tests: what was printed where, in which
// font, the rules and the page breaks.

#include <cstddef>
#include <string>
#include <vector>

#include "PageSink.h"

namespace tessaran::platform {

struct RecordedOp {
    enum class Kind { Text, Line, NewPage, EndDocument };
    Kind kind = Kind::Text;
    int page = 0;  // 0-based page the operation belongs to
    double x = 0, y = 0, x2 = 0, y2 = 0;
    std::string text;
    Font font;
    int width = 0;  // rule width
};

class RecordingPageSink : public PageSink {
public:
    void drawText(double x, double y, std::string_view text, const Font& font) override;
    void drawLine(double x1, double y1, double x2, double y2, int width) override;
    void newPage() override;
    void endDocument() override;
    void publish() override { published_ = true; }
    void abandon() override { abandoned_ = true; }
    void setWatermark(const std::string& text) override { watermark_ = text; }
    // Kept with the number of operations drawn before it, so that a test sees it came first.
    void setDocumentInfo(const DocumentInfo& info) override {
        documentInfo_ = info;
        opsBeforeDocumentInfo_ = ops_.size();
    }

    const std::vector<RecordedOp>& ops() const { return ops_; }
    int pageCount() const { return page_ + 1; }
    bool ended() const { return ended_; }
    bool abandoned() const { return abandoned_; }
    bool published() const { return published_; }
    const std::string& watermark() const { return watermark_; }
    const DocumentInfo& documentInfo() const { return documentInfo_; }
    std::size_t opsBeforeDocumentInfo() const { return opsBeforeDocumentInfo_; }
    // The pages as the text output renders them (character grid, right-trimmed lines).
    std::vector<std::string> pagesAsText() const;

private:
    std::vector<RecordedOp> ops_;
    int page_ = 0;
    bool ended_ = false;
    bool abandoned_ = false;
    bool published_ = false;
    std::string watermark_;
    DocumentInfo documentInfo_{.title = "", .subject = "", .creator = ""};  // nothing given yet
    std::size_t opsBeforeDocumentInfo_ = 0;
};

}  // namespace tessaran::platform
