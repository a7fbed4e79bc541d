#pragma once
// Plain-text rendition: one character grid per page, pages separated by a form feed. An item
// at (x, y) lands at column round(x / 120) and row round(y / 227), its characters in
// consecutive columns; lines are right-trimmed; rules are not drawn.

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "PageSink.h"

namespace tessaran::platform {

// Renders one page's text items into lines of text.
class TextGrid {
public:
    void put(double x, double y, const std::string& utf8);
    std::string render() const;  // lines joined with '\n', right-trimmed, trailing empty lines dropped
    bool empty() const { return rows_.empty(); }

private:
    std::map<int, std::vector<std::string>> rows_;  // row -> cells (one UTF-8 character each)
};

class TextPageSink : public PageSink {
public:
    explicit TextPageSink(std::ostream& out) : out_(out) {}
    void drawText(double x, double y, const std::string& text, const Font& font) override;
    void drawLine(double x1, double y1, double x2, double y2, int width) override;
    void newPage() override;
    void endDocument() override;

private:
    std::ostream& out_;
    TextGrid page_;
    bool ended_ = false;
};

}  // namespace tessaran::platform
