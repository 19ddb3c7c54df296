#include "base/Say.h"

#include <string>

#include "files/QuotedText.h"

namespace sandbox {

void Say(std::FILE* out, std::string_view line) {
    const std::string shown = files::Printable(line) + '\n';
    std::fwrite(shown.data(), 1, shown.size(), out);
}

} // namespace sandbox
