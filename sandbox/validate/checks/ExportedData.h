#pragma once

#include <cstddef>
#include <string>

namespace validate {

// The platform's part of the descriptor check: why the symbol `name` the
// module at `modulePath` exports at `address` is not a data object of at
// least `size` bytes that the loader can read, or an empty text when it is
// one. POSIX asks the dynamic linker for the symbol's entry; Windows reads
// the section that holds it in the module's mapped image.
std::string ExportedDataFault(const std::string& modulePath, const char* name, const void* address,
                              std::size_t size);

} // namespace validate
