// Palette: the light and dark colours, high contrast from the system's, and the contrast arithmetic.
#include "core/Palette.h"

#include <algorithm>
#include <cmath>

namespace korvane {
namespace {

// Windows 10's default light colours, which the window showed before it had modes.
Palette Light() {
    Palette p;
    p.background = {240, 240, 240};
    p.text = {0, 0, 0};
    p.disabledText = {109, 109, 109};
    p.fieldBackground = {255, 255, 255};
    p.fieldText = {0, 0, 0};
    p.buttonFace = {225, 225, 225};
    p.buttonPressed = {204, 228, 247};
    p.buttonText = {0, 0, 0};
    p.border = {173, 173, 173};
    p.selection = {0, 103, 192};
    p.selectionText = {255, 255, 255};
    p.inactiveSelection = {217, 217, 217};
    p.inactiveSelectionText = {0, 0, 0};
    p.headerBackground = {255, 255, 255};
    p.headerText = {0, 0, 0};
    p.gridLine = {240, 240, 240};
    p.bannerFrom = {12, 52, 120};
    p.bannerTo = {40, 100, 170};
    p.bannerTitle = {255, 255, 255};
    p.bannerSubtitle = {224, 238, 255};
    p.bannerShadow = {0, 24, 64};
    p.pageButtonFace = {240, 240, 240};
    p.pageButtonActiveFace = {255, 255, 255};
    p.pageButtonText = {0, 0, 200};
    p.pageButtonActiveText = {0, 0, 200};
    return p;
}

// Close to what Windows' own dark apps show: near-black surfaces, white text, a deeper blue for the
// selection so that white on it stays readable.
Palette Dark() {
    Palette p;
    p.background = {32, 32, 32};
    p.text = {255, 255, 255};
    p.disabledText = {140, 140, 140};
    p.fieldBackground = {25, 25, 25};
    p.fieldText = {240, 240, 240};
    p.buttonFace = {51, 51, 51};
    p.buttonPressed = {70, 70, 70};
    p.buttonText = {255, 255, 255};
    p.border = {110, 110, 110};
    p.selection = {0, 84, 153};
    p.selectionText = {255, 255, 255};
    p.inactiveSelection = {68, 68, 68};
    p.inactiveSelectionText = {255, 255, 255};
    p.headerBackground = {43, 43, 43};
    p.headerText = {230, 230, 230};
    p.gridLine = {58, 58, 58};
    p.bannerFrom = {8, 24, 52};
    p.bannerTo = {28, 62, 110};
    p.bannerTitle = {255, 255, 255};
    p.bannerSubtitle = {205, 222, 245};
    p.bannerShadow = {0, 0, 0};
    p.pageButtonFace = {43, 43, 43};
    p.pageButtonActiveFace = {25, 25, 25};
    p.pageButtonText = {153, 200, 255};
    p.pageButtonActiveText = {153, 200, 255};
    return p;
}

// Each part takes the system colour Windows itself would draw it with.
Palette HighContrast(const SystemColors& s) {
    Palette p;
    p.background = s.buttonFace;
    p.text = s.buttonText;
    p.disabledText = s.grayText;
    p.fieldBackground = s.window;
    p.fieldText = s.windowText;
    p.buttonFace = s.buttonFace;
    p.buttonPressed = s.buttonFace;
    p.buttonText = s.buttonText;
    p.border = s.buttonText;
    p.selection = s.highlight;
    p.selectionText = s.highlightText;
    p.inactiveSelection = s.highlight;
    p.inactiveSelectionText = s.highlightText;
    p.headerBackground = s.buttonFace;
    p.headerText = s.buttonText;
    p.gridLine = s.buttonShadow;
    p.bannerFrom = s.window;
    p.bannerTo = s.window;
    p.bannerTitle = s.windowText;
    p.bannerSubtitle = s.windowText;
    p.bannerShadow = s.window;
    p.pageButtonFace = s.buttonFace;
    p.pageButtonActiveFace = s.highlight;
    p.pageButtonText = s.buttonText;
    p.pageButtonActiveText = s.highlightText;
    return p;
}

double Linear(std::uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

Palette PaletteFor(ColorMode mode, const SystemColors& system) {
    switch (mode) {
        case ColorMode::Light:
            return Light();
        case ColorMode::Dark:
            return Dark();
        case ColorMode::HighContrast:
            return HighContrast(system);
    }
    return Light();
}

double RelativeLuminance(Rgb colour) {
    return 0.2126 * Linear(colour.red) + 0.7152 * Linear(colour.green) + 0.0722 * Linear(colour.blue);
}

double ContrastRatio(Rgb a, Rgb b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace korvane
