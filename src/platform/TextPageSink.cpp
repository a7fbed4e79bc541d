#include "TextPageSink.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tessaran::platform {

namespace {

constexpr double kColumnTwips = 120.0;  // one character of 10-point "Courier New"
constexpr double kRowTwips = 227.0;     // one 10-point line

bool continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

void TextGrid::setCell(Cell& cell, std::string_view character) {
    if (character.size() == 1) {
        cell.bytes[0] = character.front();
        cell.size = 1;
        return;
    }
    if (character.size() <= cell.bytes.size()) {
        std::copy(character.begin(), character.end(), cell.bytes.begin());
        cell.size = static_cast<std::uint8_t>(character.size());
        return;
    }
    const auto index = static_cast<std::uint32_t>(long_.size());
    long_.emplace_back(character);
    std::memcpy(cell.bytes.data(), &index, sizeof index);
    cell.size = kLong;
}

void TextGrid::appendCell(std::string& line, const Cell& cell) const {
    if (cell.size == 1) {  // most characters: one byte, no copy call
        line.push_back(cell.bytes[0]);
        return;
    }
    if (cell.size != kLong) {
        line.append(cell.bytes.data(), cell.size);
        return;
    }
    std::uint32_t index = 0;
    std::memcpy(&index, cell.bytes.data(), sizeof index);
    line += long_[index];
}

void TextGrid::put(double x, double y, std::string_view utf8) {
    const long row = std::lround(y / kRowTwips);
    if (row < 0) return;  // above the page: nothing to show
    long column = std::lround(x / kColumnTwips);
    std::vector<Cell>& cells = rows_[static_cast<int>(row)];
    const auto existing = static_cast<long>(cells.size());
    // Blanks that fall past the row's last cell would only make blank cells: they are left out,
    // at the start of the item and at its end (items are padded to their columns with them).
    std::string_view text(utf8);
    while (!text.empty() && text.front() == ' ' && column >= existing) {
        text.remove_prefix(1);
        ++column;
    }
    // Each character is a lead byte and the continuation bytes after it; continuation bytes
    // at the very start make a character of their own.
    const auto characters = static_cast<long>(
        std::count_if(text.begin(), text.end(), [](char c) { return !continuation(c); }) +
        (!text.empty() && continuation(text.front()) ? 1 : 0));
    const std::size_t lastMark = text.find_last_not_of(' ');
    const auto trailingBlanks = static_cast<long>(text.size() - (lastMark == std::string_view::npos ? 0 : lastMark + 1));
    const long end = std::max(column + characters - trailingBlanks, std::min(column + characters, existing));
    text.remove_suffix(static_cast<std::size_t>(column + characters - end));
    if (end > 0 && cells.size() < static_cast<std::size_t>(end)) cells.resize(static_cast<std::size_t>(end));
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t next = at + 1;
        while (next < text.size() && continuation(text[next])) ++next;
        if (column >= 0) setCell(cells[static_cast<std::size_t>(column)], text.substr(at, next - at));
        ++column;
        at = next;
    }
}

std::string TextGrid::render() const {
    std::vector<std::string> lines;
    for (const auto& [row, cells] : rows_) {
        std::string line;
        line.reserve(cells.size());
        for (const Cell& cell : cells) appendCell(line, cell);
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

void TextPageSink::drawText(double x, double y, std::string_view text, const Font& /*font*/) {
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
