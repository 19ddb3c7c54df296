#pragma once

// What the test modules export to the loader under test. The real module names
// its entry points in a .def file on Windows; these modules each export a
// different set on purpose (a missing descriptor, a null factory, ...), so
// they mark what they export at the definition instead.
#if defined(_WIN32)
#define TEST_MODULE_EXPORT __declspec(dllexport)
#else
#define TEST_MODULE_EXPORT __attribute__((visibility("default")))
#endif
