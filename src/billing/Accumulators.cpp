#include "billing/Accumulators.h"

#include <stdexcept>

#include "billing/RunValues.h"

namespace tessaran::billing {
namespace {

const std::string kZeroSum = "0";

bool holdsMarks(const std::string& text) {
    return text.find_first_of(std::string{db::kAttributeMark, db::kValueMark, db::kSubvalueMark}) != std::string::npos;
}

// A new line: label, period, four zero sums, type code, as the values of one attribute.
std::string newLine(const std::string& label, const std::string& period, const std::string& type) {
    std::string line = label;
    for (const std::string* value : {&period, &kZeroSum, &kZeroSum, &kZeroSum, &kZeroSum, &type}) {
        line += db::kValueMark;
        line += *value;
    }
    return line;
}

// Writes a new line at `line` of an array, value by value: a text holding a mark lands where
// writing each value in turn puts it.
void fillLine(db::DynamicArray& accumulator, int line, const std::string& label, const std::string& period,
              const std::string& type) {
    accumulator.set(line, 1, label);
    accumulator.set(line, 2, period);
    for (int value = 3; value <= 6; ++value) accumulator.set(line, value, kZeroSum);
    accumulator.set(line, 7, type);
}

}  // namespace

const db::DynamicArray& Accumulators::detail() {
    settle();
    return detail_;
}

const db::DynamicArray& Accumulators::cumul() {
    settle();
    return cumul_;
}

void Accumulators::addLine(int line, const std::string& label, const std::string& period, const std::string& type,
                           bool insert) {
    // The sums move with their lines; the new line's start from its zeros.
    const auto index = static_cast<std::size_t>(line - 1);
    for (std::vector<LineSums>* lines : {&detailSums_, &cumulSums_}) {
        if (index >= lines->size()) continue;
        if (insert) {
            lines->insert(lines->begin() + static_cast<std::ptrdiff_t>(index), LineSums{});
        } else {
            (*lines)[index] = {};  // a line written over: what was held for it is written over too
        }
    }
    const bool whole = !holdsMarks(label) && !holdsMarks(period) && !holdsMarks(type);
    for (db::DynamicArray* accumulator : {&detail_, &cumul_}) {
        if (whole) {
            if (insert) {
                accumulator->Insert(line, newLine(label, period, type));
            } else {
                accumulator->set(line, newLine(label, period, type));
            }
        } else {
            if (insert) accumulator->Insert(line, label);
            fillLine(*accumulator, line, label, period, type);
        }
    }
}

Accumulators::Sum* Accumulators::sumOf(Of which, int line, int value, bool create) {
    if (line < 1 || value < kFirstSum || value >= kFirstSum + kSums) {
        if (create) throw std::logic_error("an accumulator sum is values 3 to 6 of a line");
        return nullptr;
    }
    std::vector<LineSums>& lines = sums(which);
    const auto index = static_cast<std::size_t>(line - 1);
    if (index >= lines.size()) {
        if (!create) return nullptr;
        lines.resize(index + 1);
    }
    return &lines[index][static_cast<std::size_t>(value - kFirstSum)];
}

void Accumulators::add(Of which, int line, int value, double amount) {
    Sum& sum = *sumOf(which, line, value, true);
    if (!sum.known) {
        sum.reading = numberOf(array(which).view(line, value));
        sum.known = true;
    }
    sum.written = sum.reading + amount;
    sum.reading = readBack(sum.written);
    sum.held = true;
    anyHeld_ = true;
}

void Accumulators::set(Of which, int line, int value, std::string_view text) {
    if (Sum* sum = sumOf(which, line, value, false)) *sum = {};
    array(which).set(line, value, text);
}

void Accumulators::settle() {
    if (!anyHeld_) return;
    for (const Of which : {Of::Detail, Of::Cumul}) {
        std::vector<LineSums>& lines = sums(which);
        for (std::size_t index = 0; index < lines.size(); ++index) {
            for (int offset = 0; offset < kSums; ++offset) {
                Sum& sum = lines[index][static_cast<std::size_t>(offset)];
                if (!sum.held) continue;
                array(which).set(static_cast<int>(index) + 1, kFirstSum + offset, storedNumber(sum.written));
                sum.held = false;
            }
        }
    }
    anyHeld_ = false;
}

void Accumulators::clear() {
    detail_.clear();
    cumul_.clear();
    detailSums_.clear();
    cumulSums_.clear();
    anyHeld_ = false;
    lastPlaced = {};
}

}  // namespace tessaran::billing
