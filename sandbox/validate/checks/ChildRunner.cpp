#include "validate/checks/ChildRunner.h"

#include <chrono>
#include <cstdio>
#include <exception>

#include "validate/checks/ChildProcess.h"

namespace validate {

ChildReport RunHere(const Check& check, const CheckContext& context) {
    ChildReport report;
    try {
        check.run(context);
        return report;
    } catch (const CheckAnswer& answer) {
        report.text = answer.what();
        return report;
    } catch (const CheckFailure& failure) {
        report.text = failure.what();
        if (report.text.empty()) {
            report.text = "failed without a reason";
        }
    } catch (const std::exception& error) {
        report.text = std::string("unexpected exception: ") + error.what();
    } catch (...) {
        report.text = "unexpected exception of unknown type";
    }
    report.status = 1;
    return report;
}

int ServeAsChild(const Check& check, const CheckContext& context, const std::string& channel) {
    PrepareChild();
    const ChildReport report = RunHere(check, context);
    if (!WriteReport(channel, report.text)) {
        std::fprintf(stderr, "validate: cannot hand the verdict to the report channel %s\n",
                     channel.c_str());
        return 2;
    }
    std::fflush(nullptr);
    return report.status;
}

Verdict RunInChild(const Check& check, const CheckContext& context) {
    const int limit = check.TimeoutFor(context);
    const ChildEnd end = RunInChildProcess(check, context, std::chrono::seconds(limit));
    switch (end.how) {
    case ChildEnd::How::NotStarted:
        return {false, "could not run in a child process: " + end.cause, {}};
    case ChildEnd::How::TimedOut:
        return {false, "timed out after " + std::to_string(limit) + " s", {}};
    case ChildEnd::How::Stopped:
        return {false, "stopped: the run was asked to stop", {}};
    case ChildEnd::How::Crashed:
        return {false,
                "crashed: " + end.cause + (end.report.empty() ? "" : " after: " + end.report),
                {}};
    case ChildEnd::How::Exited:
        break;
    }
    if (end.status == 0) {
        return {true, {}, end.report};
    }
    if (end.status == 1 && !end.report.empty()) {
        return {false, end.report, {}};
    }
    return {false,
            "exited with status " + std::to_string(end.status) +
                " without a verdict of its own: a sanitizer or the runtime stopped it (see its "
                "report above)",
            {}};
}

} // namespace validate
