#pragma once
// The control's fixed form, designed in twips (1440 to the inch) from the top-left corner of
// each control's container: the control itself, or the frame Cdr_Assoc for the controls it
// holds. On screen a twip length becomes pixels at the screen's logical resolution, 15 twips
// to a pixel at 96 dots per inch.

#include <QRect>

namespace tessaran::control {

inline constexpr int kTwipsPerInch = 1440;

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Nearest whole pixel for a length in twips at `dotsPerInch`.
constexpr int twipsToPixels(int twips, int dotsPerInch) {
    const long scaled = static_cast<long>(twips) * dotsPerInch;
    return static_cast<int>((scaled + kTwipsPerInch / 2) / kTwipsPerInch);
}

inline QRect toPixels(const TwipsRect& r, int dotsPerInchX, int dotsPerInchY) {
    return {twipsToPixels(r.left, dotsPerInchX), twipsToPixels(r.top, dotsPerInchY),
            twipsToPixels(r.width, dotsPerInchX), twipsToPixels(r.height, dotsPerInchY)};
}

namespace form {
// The design surface of the control.
inline constexpr TwipsRect Surface{0, 0, 8745, 4170};
// On the control.
inline constexpr TwipsRect Cbo_PeriodePaie{1560, 120, 2055, 315};
inline constexpr TwipsRect Etq_PeriodePaie{120, 120, 1110, 195};
inline constexpr TwipsRect Cdr_Assoc{120, 600, 8415, 2775};
inline constexpr TwipsRect Cmd_Imprimer{6600, 3600, 855, 375};
inline constexpr TwipsRect Cmd_Sortir{7680, 3600, 855, 375};
inline constexpr TwipsRect Cmd_Reedition{360, 3600, 1095, 375};
// "Aperçu", beside "Imprimer".
inline constexpr TwipsRect Cmd_Apercu{5520, 3600, 960, 375};
// In the frame Cdr_Assoc.
inline constexpr TwipsRect Cmd_Tous{3840, 600, 735, 375};
inline constexpr TwipsRect Lst_Possible{120, 480, 3495, 2010};
inline constexpr TwipsRect Cmd_Select{3840, 1320, 735, 375};
inline constexpr TwipsRect Cmd_Supp{3840, 2040, 735, 375};
inline constexpr TwipsRect Lst_Select{4800, 480, 3495, 2010};
inline constexpr TwipsRect Etq_Possible{1320, 240, 660, 195};
inline constexpr TwipsRect Etq_Select{6120, 240, 1005, 195};
}  // namespace form

}  // namespace tessaran::control
