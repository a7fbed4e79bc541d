#pragma once
// What an output does with a page: draw text at a place, rule a line, turn the page.
// Outputs only draw; where things go is decided once, by Printer (the position model).

#include <string>

namespace tessaran::platform {

struct Font {
    std::string name = "Courier New";
    double size = 10.0;  // points
    bool bold = false;
    bool underline = false;
    friend bool operator==(const Font&, const Font&) = default;
};

class PageSink {
public:
    virtual ~PageSink() = default;
    // Text whose top-left corner is at (x, y) twips from the top-left of the printable page.
    virtual void drawText(double x, double y, const std::string& text, const Font& font) = 0;
    virtual void drawLine(double x1, double y1, double x2, double y2, int width) = 0;
    virtual void newPage() = 0;
    virtual void endDocument() = 0;
};

}  // namespace tessaran::platform
