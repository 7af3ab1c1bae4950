// The resources compiled into the program: string table, pictures and the data file template.
#pragma once

namespace resources {

/// Registers the compiled-in resources (idempotent).
void initResources();

} // namespace resources
