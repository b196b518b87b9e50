#pragma once

#include "app/Mirabou_About.h"
#include "app/Mirabou_Contrast.h"
#include "app/Mirabou_Language.h"
#include "app/Mirabou_Main.h"

/// The program's windows, created in start-up order (main, About,
/// Language, Contrast) and destroyed in reverse, the main window last, so its
/// destruction saves the settings after the others are gone. The About and
/// Language windows belong to the main window, so the desktop keeps them
/// above it.
class Program {
public:
    explicit Program(const QString& programFolder,
                     ScreenContextFactory screens = openScreenContext);

    /// Ends the program as closing the main window does: any modal window
    /// open at the moment is closed first, each returning to its caller.
    void closeAll();

    TForm1 form1;
    TForm2 form2;
    TForm3 form3;
    /// The Contrast window, not modal, also the main window's.
    TForm5 form5;
};
