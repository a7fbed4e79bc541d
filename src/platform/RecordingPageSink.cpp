#include "RecordingPageSink.h"

#include "TextPageSink.h"

namespace tessaran::platform {

void RecordingPageSink::drawText(double x, double y, std::string_view text, const Font& font) {
    RecordedOp op;
    op.kind = RecordedOp::Kind::Text;
    op.page = page_;
    op.x = x;
    op.y = y;
    op.text = text;
    op.font = font;
    ops_.push_back(std::move(op));
}

void RecordingPageSink::drawLine(double x1, double y1, double x2, double y2, int width) {
    RecordedOp op;
    op.kind = RecordedOp::Kind::Line;
    op.page = page_;
    op.x = x1;
    op.y = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.width = width;
    ops_.push_back(std::move(op));
}

void RecordingPageSink::newPage() {
    RecordedOp op;
    op.kind = RecordedOp::Kind::NewPage;
    op.page = page_;
    ops_.push_back(std::move(op));
    ++page_;
}

void RecordingPageSink::endDocument() {
    RecordedOp op;
    op.kind = RecordedOp::Kind::EndDocument;
    op.page = page_;
    ops_.push_back(std::move(op));
    ended_ = true;
}

std::vector<std::string> RecordingPageSink::pagesAsText() const {
    std::vector<TextGrid> pages(static_cast<std::size_t>(pageCount()));
    for (const RecordedOp& op : ops_) {
        if (op.kind == RecordedOp::Kind::Text) pages[static_cast<std::size_t>(op.page)].put(op.x, op.y, op.text);
    }
    std::vector<std::string> result;
    result.reserve(pages.size());
    for (const TextGrid& page : pages) result.push_back(page.render());
    return result;
}

}  // namespace tessaran::platform
