#pragma once
// What an output does with a page: draw text at a place, rule a line, turn the page.
// Outputs only draw; where things go is decided once, by Printer (the position model).

#include <string>
#include <string_view>

namespace tessaran::platform {

struct Font {
    std::string name = "Courier New";
    double size = 10.0;  // points
    bool bold = false;
    bool underline = false;
    friend bool operator==(const Font&, const Font&) = default;
};

// What a document file says of itself (a PDF's title, subject and creator), shown by the
// reader's document properties; never printed on a page.
struct DocumentInfo {
    std::string title;
    std::string subject;
    std::string creator = "Tessaran";
    friend bool operator==(const DocumentInfo&, const DocumentInfo&) = default;
};

class PageSink {
public:
    virtual ~PageSink() = default;
    // Text whose top-left corner is at (x, y) twips from the top-left of the printable page.
    virtual void drawText(double x, double y, std::string_view text, const Font& font) = 0;
    virtual void drawLine(double x1, double y1, double x2, double y2, int width) = 0;
    virtual void newPage() = 0;
    // The document is complete: a file output finishes writing it (still beside its target) and
    // checks that every byte was written. Throws when the document could not be written whole.
    virtual void endDocument() = 0;
    // The completed document is released: a file output puts it in place of its target, a
    // printer output sends the job. Throws when it cannot.
    virtual void publish() {}
    // The document is dropped: nothing of it reaches the target. Never throws.
    virtual void abandon() {}
    // What the document is, given before its first page is drawn; outputs without document
    // properties ignore it.
    virtual void setDocumentInfo(const DocumentInfo& /*info*/) {}
    // Marks every page with `text` (a preview), where the output shows pages.
    virtual void setWatermark(const std::string& /*text*/) {}
};

}  // namespace tessaran::platform
