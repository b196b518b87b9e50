#pragma once

/// Registers the compiled-in pictures (they live in a static library).
void initMirabouResources();
