#pragma once

#include "i18n/LanguageFile.h"

/// The texts of the Contrast window, the section "contrast" of the language
/// files.
namespace i18n {

/// The window's caption and its item in the About popup.
inline constexpr TextKey ContrastTitleText{"contrast", "line01", "Contrast"};
/// The sample: a line of normal text, a line of large text, and what a
/// screen reader says of the non-text sample (a symbol and a border).
inline constexpr TextKey NormalSampleText{"contrast", "line02", "Normal text sample"};
inline constexpr TextKey LargeSampleText{"contrast", "line03", "Large text sample"};
inline constexpr TextKey NonTextSampleText{"contrast", "line04", "Non-text sample"};
/// The pair ("%1" the text colour, "%2" the background), and what the window
/// says while no eye colour is set.
inline constexpr TextKey PairText{"contrast", "line05", "Text %1 on background %2"};
inline constexpr TextKey NoEyeColorText{"contrast", "line06",
                                        "No eye color set: white stands in for it."};
/// The figures' captions.
inline constexpr TextKey RatioText{"contrast", "line07", "WCAG 2 contrast ratio"};
/// The five WCAG levels, in the order of contrast::levels.
inline constexpr TextKey LevelTexts[] = {
    {"contrast", "line08", "AA normal text"},  {"contrast", "line09", "AA large text"},
    {"contrast", "line10", "AAA normal text"}, {"contrast", "line11", "AAA large text"},
    {"contrast", "line12", "Non-text"},
};
inline constexpr TextKey PassText{"contrast", "line13", "Pass"};
inline constexpr TextKey FailText{"contrast", "line14", "Fail"};
inline constexpr TextKey LcText{"contrast", "line15", "APCA lightness contrast (Lc)"};
/// The simulations: their group's title and the four deficiencies, in the
/// order of contrast::deficiencies.
inline constexpr TextKey SimulatedText{"contrast", "line16", "Simulated color vision"};
inline constexpr TextKey DeficiencyTexts[] = {
    {"contrast", "line17", "Protanopia"},
    {"contrast", "line18", "Deuteranopia"},
    {"contrast", "line19", "Tritanopia"},
    {"contrast", "line20", "Achromatopsia"},
};
/// The Swap button, its tooltip ("%1" is its key), and the Close button.
inline constexpr TextKey SwapText{"contrast", "line21", "Swap"};
inline constexpr TextKey SwapHintText{"contrast", "line22", "Swap text and background (%1)"};
inline constexpr TextKey CloseText{"contrast", "line23", "Close"};

} // namespace i18n
