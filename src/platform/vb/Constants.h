// Message-box style values, results and key codes, with the platform's standard numbers.
#pragma once

#include <algorithm>
#include <cmath>

namespace vb {

enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton1 = 0,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
};

enum MsgBoxResult : int {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7,
};

inline constexpr bool vbTrue = true;
inline constexpr bool vbFalse = false;
inline constexpr int vbKeyReturn = 13;
inline constexpr int vbKeyTab = 9;
inline constexpr int vbKeyF1 = 112;
inline constexpr int vbKeyCapital = 20;

/// Twips per pixel at the design resolution (96 dpi).
inline constexpr int kTwipsPerPixel = 15;

/// The largest place or length in pixels a window can take (the toolkit's own limit).
inline constexpr double kMaxPixels = 16777215;

/// A length in twips as whole pixels at the design resolution, rounded to the nearest. A value
/// beyond kMaxPixels either way (a damaged setting, say) is taken as that limit; NaN as 0.
inline int twipsToPixels(double twips)
{
    const double pixels = twips / kTwipsPerPixel + 0.5;
    return std::isnan(pixels) ? 0 : static_cast<int>(std::clamp(pixels, -kMaxPixels, kMaxPixels));
}

} // namespace vb
