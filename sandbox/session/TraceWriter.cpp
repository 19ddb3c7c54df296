#include "session/TraceWriter.h"

#include "files/OutputFile.h"

namespace sandbox {

void TraceWriter::Section(std::string_view header, sim::CallLog& log) {
    if (active_) {
        std::string text(header);
        text += '\n';
        for (const std::string& line : log.lines) {
            text += line;
            text += '\n';
        }
        // Straight to the descriptor, which reports every failure; stdio's
        // buffer would keep them until a flush nobody checks.
        std::fflush(out_);
        files::WriteAll(fileno(out_), text, "the trace to standard output");
    }
    log.Clear();
}

} // namespace sandbox
