#pragma once
#include "catalogo.h"

namespace catalogo {

// Fills the freshly created catalogue in `dir` with sample data (one transaction per table).
void writeDemo(const QString &dir, const DemoOptions &options);

} // namespace catalogo
