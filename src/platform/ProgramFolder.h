#pragma once

#include <QString>

namespace platform {

/// The folder of the running executable, with a trailing '/'. Every file the
/// program reads or writes lies there; the working directory is never used.
QString programFolder();

} // namespace platform
