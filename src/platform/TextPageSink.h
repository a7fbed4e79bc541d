#pragma once
// Plain-text rendition: one character grid per page, pages separated by a form feed. An item
// at (x, y) lands at column round(x / 120) and row round(y / 227), its characters in
// consecutive columns; lines are right-trimmed; rules are not drawn.

#include <array>
#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "PageSink.h"

namespace tessaran::platform {

// Renders one page's text items into lines of text.
class TextGrid {
public:
    void put(double x, double y, std::string_view utf8);
    std::string render() const;  // lines joined with '\n', right-trimmed, trailing empty lines dropped
    bool empty() const { return rows_.empty(); }

private:
    // One character cell: the bytes of one UTF-8 character held in place (a lead byte and up to
    // three continuation bytes); a longer, malformed run of continuation bytes is kept aside
    // in `long_` and the cell holds its index.
    struct Cell {
        std::array<char, 4> bytes{' ', 0, 0, 0};
        std::uint8_t size = 1;  // kLong: bytes hold the index of the text in long_
    };
    static constexpr std::uint8_t kLong = 0xFF;
    void setCell(Cell& cell, std::string_view character);
    void appendCell(std::string& line, const Cell& cell) const;

    std::map<int, std::vector<Cell>> rows_;  // row -> cells
    std::vector<std::string> long_;
};

class TextPageSink : public PageSink {
public:
    explicit TextPageSink(std::ostream& out) : out_(out) {}
    void drawText(double x, double y, std::string_view text, const Font& font) override;
    void drawLine(double x1, double y1, double x2, double y2, int width) override;
    void newPage() override;
    void endDocument() override;

private:
    std::ostream& out_;
    TextGrid page_;
    bool ended_ = false;
};

}  // namespace tessaran::platform
