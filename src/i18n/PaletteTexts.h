#pragma once

#include "i18n/LanguageFile.h"

/// The texts of the colour history and the palettes: the Palettes window,
/// the main window's items that open it and add to it. One section of the
/// language files, "palettes".
namespace i18n {

/// The window's caption, the main window's item that opens it, and the
/// command that adds the current colour to the chosen palette.
inline constexpr TextKey PalettesText{"palettes", "line01", "Palettes"};
inline constexpr TextKey AddCurrentColorText{"palettes", "line02", "Add Current Color"};
/// The history as the list of palettes names it.
inline constexpr TextKey HistoryText{"palettes", "line03", "History"};
/// The buttons beside the list of palettes and below the swatches.
inline constexpr TextKey NewPaletteText{"palettes", "line04", "New..."};
inline constexpr TextKey RenamePaletteText{"palettes", "line05", "Rename..."};
inline constexpr TextKey DeletePaletteText{"palettes", "line06", "Delete..."};
inline constexpr TextKey ImportText{"palettes", "line07", "Import..."};
inline constexpr TextKey ExportText{"palettes", "line08", "Export..."};
/// A swatch's menu: Copy As (the main window's text), then these.
inline constexpr TextKey RenameColorText{"palettes", "line09", "Rename..."};
inline constexpr TextKey RemoveColorText{"palettes", "line10", "Remove"};
inline constexpr TextKey AddToPaletteText{"palettes", "line11", "Add to Palette"};
/// The questions: a palette's name, a colour's name, whether to delete
/// ("%1" is the palette's name), the notation of a text export.
inline constexpr TextKey PaletteNameText{"palettes", "line12", "Palette name:"};
inline constexpr TextKey ColorNameText{"palettes", "line13", "Color name:"};
inline constexpr TextKey DeleteQuestionText{"palettes", "line14",
                                            "Delete the palette \"%1\" and its colors?"};
inline constexpr TextKey NotationQuestionText{"palettes", "line15", "Write the colors as:"};
/// The file dialogs' type of file.
inline constexpr TextKey PaletteFilesText{"palettes", "line16", "Palette files"};
/// What a screen reader reads: the swatches (the list of palettes is read
/// as the window's caption), and a swatch ("%1" its name, "%2" its hex text).
inline constexpr TextKey SwatchesText{"palettes", "line17", "Colors"};
inline constexpr TextKey SwatchSpokenText{"palettes", "line18", "%1, color %2"};
/// Undoing the last removal, a button and Ctrl+Z.
inline constexpr TextKey UndoText{"palettes", "line19", "Undo"};

} // namespace i18n
