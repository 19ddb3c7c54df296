#pragma once

// `quellmark-sandbox validate [--module PATH] [--cycles N] [--seed S]
// [--only NAME] [--list]`: runs the named checks on the plugin module, each in
// a child process of its own, printing "PASS name" or "FAIL name: reason" for
// each and last "N passed, N failed". argv[0] is the command's name, the
// options follow. Returns 0 when every check passed, 1 when any failed, 2 for a
// command line it cannot run.
int RunValidate(int argc, char** argv);
