#include "app/Program.h"

Program::Program(const QString& programFolder, ScreenContextFactory screens)
    : form1(programFolder, std::move(screens)) {
    form1.attachWindows(&form2, &form3);
}
