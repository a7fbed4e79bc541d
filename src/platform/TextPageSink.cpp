#include "TextPageSink.h"

#include <cmath>

namespace tessaran::platform {

namespace {

constexpr double kColumnTwips = 120.0;  // one character of 10-point "Courier New"
constexpr double kRowTwips = 227.0;     // one 10-point line

// Splits UTF-8 text into its characters (a lead byte and its continuation bytes).
std::vector<std::string> characters(const std::string& utf8) {
    std::vector<std::string> result;
    for (const char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) == 0x80 && !result.empty()) {
            result.back() += c;
        } else {
            result.emplace_back(1, c);
        }
    }
    return result;
}

}  // namespace

void TextGrid::put(double x, double y, const std::string& utf8) {
    const long row = std::lround(y / kRowTwips);
    if (row < 0) return;  // above the page: nothing to show
    long column = std::lround(x / kColumnTwips);
    std::vector<std::string>& cells = rows_[static_cast<int>(row)];
    for (std::string& character : characters(utf8)) {
        if (column >= 0) {
            const auto index = static_cast<std::size_t>(column);
            if (cells.size() <= index) cells.resize(index + 1, " ");
            cells[index] = std::move(character);
        }
        ++column;
    }
}

std::string TextGrid::render() const {
    std::vector<std::string> lines;
    for (const auto& [row, cells] : rows_) {
        std::string line;
        for (const std::string& cell : cells) line += cell;
        const std::size_t end = line.find_last_not_of(' ');
        line.erase(end == std::string::npos ? 0 : end + 1);
        if (line.empty()) continue;
        lines.resize(static_cast<std::size_t>(row) + 1);
        lines[static_cast<std::size_t>(row)] = std::move(line);
    }
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    return text;
}

void TextPageSink::drawText(double x, double y, const std::string& text, const Font& /*font*/) {
    if (!ended_) page_.put(x, y, text);
}

void TextPageSink::drawLine(double, double, double, double, int) {}

void TextPageSink::newPage() {
    if (ended_) return;
    const std::string text = page_.render();
    out_ << text << (text.empty() ? "" : "\n") << '\f';
    page_ = TextGrid{};
}

void TextPageSink::endDocument() {
    if (ended_) return;
    ended_ = true;
    const std::string text = page_.render();
    out_ << text << (text.empty() ? "" : "\n");
    out_.flush();
    page_ = TextGrid{};
}

}  // namespace tessaran::platform
