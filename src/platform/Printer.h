#pragma once
// The printer as the documents see it: font settings, a current position in twips
// (567 per centimetre), text printed item by item, ruled lines, new page, end of document.
// The position model lives here, in one place, computed from "Courier New" metrics, so that
// every output breaks pages at exactly the same places:
//  - a character is 12 twips wide per point of font size (120 at 10 points);
//  - a line is round(points x 20 x 1.1328125) twips high (227 at 10 points, 317 at 14);
//  - an item that ends the line moves the position to x = 0, one line lower;
//  - an item that continues the line moves x past its characters;
//  - a ruled line leaves the position at its end point;
//  - a new page starts at (0, 0).

#include <memory>
#include <string>
#include <string_view>

#include "PageSink.h"

namespace tessaran::platform {

inline constexpr int kTwipsPerCm = 567;

class Printer {
public:
    Printer(std::unique_ptr<PageSink> sink, std::string deviceName);

    void setFontName(std::string_view name) { font_.name = std::string(name); }
    void setFontSize(double points) { font_.size = points; }
    void setFontBold(bool bold) { font_.bold = bold; }
    void setFontUnderline(bool underline) { font_.underline = underline; }
    const Font& font() const { return font_; }

    double currentX() const { return x_; }
    double currentY() const { return y_; }
    void setCurrentX(double twips) { x_ = twips; }
    void setCurrentY(double twips) { y_ = twips; }

    // Prints one item at the current position; `endsLine` ends the line after it.
    void print(std::string_view text, bool endsLine);
    void setDrawWidth(int width) { drawWidth_ = width; }
    int drawWidth() const { return drawWidth_; }
    void line(double x1, double y1, double x2, double y2);
    // A new page; one left without anything printed or ruled on it when the document ends is
    // not part of the document.
    void newPage();
    // Ends the document: the output finishes writing it; throws when it could not be written whole.
    void endDoc();
    // Releases the ended document: a file is put in place of its target, a printer gets the job.
    void publish();
    // Drops the document: the output keeps nothing of it (a file already there stays as it was,
    // a printer gets no job).
    void abandon();
    // Pages of the document so far (the first page counts from the start).
    int pageCount() const { return pages_; }
    // A text the outputs that show pages mark every page with (a preview); the plain-text
    // rendition ignores it.
    void setWatermark(const std::string& text) { sink_->setWatermark(text); }

    const std::string& deviceName() const { return deviceName_; }
    // The integer printer setting the run sets on every printer that is not a dot-matrix one:
    // here, the text-quality setting, kept as a value the outputs may read.
    void setQualitySetting(int value) { qualitySetting_ = value; }
    int qualitySetting() const { return qualitySetting_; }

    // Number of characters (code points) of a UTF-8 text: the width of an item in columns.
    static int characterCount(std::string_view utf8);
    static double characterWidth(double points) { return 12.0 * points; }
    static double lineHeight(double points);

private:
    std::unique_ptr<PageSink> sink_;
    std::string deviceName_;
    Font font_;
    double x_ = 0;
    double y_ = 0;
    int drawWidth_ = 1;
    int qualitySetting_ = 0;
    bool documentEnded_ = false;
    bool published_ = false;
    int pages_ = 1;
    bool pagePending_ = false;  // a new page asked for, not yet handed to the output
    void startPendingPage();
};

}  // namespace tessaran::platform
