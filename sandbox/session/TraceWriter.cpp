#include "TraceWriter.h"

namespace sandbox {

void TraceWriter::Section(std::string_view header, sim::CallLog& log) {
    if (active_) {
        std::fprintf(out_, "%.*s\n", static_cast<int>(header.size()), header.data());
        for (const std::string& line : log.lines) {
            std::fprintf(out_, "%s\n", line.c_str());
        }
        std::fflush(out_);
    }
    log.Clear();
}

} // namespace sandbox
