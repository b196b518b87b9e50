#pragma once

#include "i18n/LanguageFile.h"

/// The texts of the Eye Wizard's tools: the Sample Size menu of the settings
/// popup and the Contrast window. Each section is one of its own in the
/// language files.
namespace i18n {

/// The Sample Size submenu, its item for one pixel, and its items for the
/// squares a pick averages ("%1" is the side, in device pixels).
inline constexpr TextKey SampleSizeText{"sampling", "line01", "Sample Size"};
inline constexpr TextKey SinglePixelText{"sampling", "line02", "1 \xc3\x97 1 (single pixel)"};
inline constexpr TextKey SampleAreaText{"sampling", "line03", "%1 \xc3\x97 %1 (average)"};

} // namespace i18n
