// The window's colours, one palette per mode, kept here and nowhere else. Light and dark are fixed;
// high contrast is made only of the system colours the caller hands in, so that no colour of ours
// shows while the user relies on theirs. Also the contrast arithmetic (WCAG 2) the palettes are held to.
#pragma once

#include <cstdint>

#include "core/ColorMode.h"

namespace korvane {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The system colours high contrast draws with (GetSysColor's COLOR_WINDOW, COLOR_WINDOWTEXT, ...).
struct SystemColors {
    Rgb window, windowText, buttonFace, buttonText, highlight, highlightText, grayText, buttonShadow;
};

struct Palette {
    Rgb background;         // the window, the pages, the bottom bar
    Rgb text;               // labels, check boxes, group box captions
    Rgb disabledText;       // on `background` and on `buttonFace`
    Rgb fieldBackground;    // edit boxes, the memo, list boxes, list rows
    Rgb fieldText;          // their text
    Rgb buttonFace;         // push buttons
    Rgb buttonPressed;      // a push button held down
    Rgb buttonText;         // their caption
    Rgb border;             // frames of buttons, check boxes in lists, header dividers
    Rgb selection;          // the selected row of the focused list
    Rgb selectionText;      //
    Rgb inactiveSelection;  // the selected row of a list without the focus
    Rgb inactiveSelectionText;
    Rgb headerBackground;      // list column headers
    Rgb headerText;            //
    Rgb gridLine;              // between list rows and columns
    Rgb bannerFrom, bannerTo;  // the banner's gradient, left to right
    Rgb bannerTitle, bannerSubtitle, bannerShadow;
    Rgb pageButtonFace, pageButtonActiveFace, pageButtonText, pageButtonActiveText;
};

// The palette of `mode`; `system` is read only for high contrast.
Palette PaletteFor(ColorMode mode, const SystemColors& system);

// WCAG 2 relative luminance, 0 (black) to 1 (white).
double RelativeLuminance(Rgb colour);
// WCAG 2 contrast ratio of two colours, 1 to 21; body text wants 4.5 or more.
double ContrastRatio(Rgb a, Rgb b);

}  // namespace korvane
