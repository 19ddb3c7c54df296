#pragma once

// PLUGINSDK_API: symbols of the host SDK library (libpluginsdk.so,
// pluginsdk.dll) that plugins and hosts link against. On Windows the library
// itself exports them and everything else imports them; CMake defines
// pluginsdk_EXPORTS while it builds the library.
//
// BAKKESMOD_PLUGIN_EXPORT: classes a plugin module exports to the host loader.
// The module is built with hidden visibility (on Windows nothing is exported
// unless marked), so only what carries this mark leaves it.
//
// PLUGIN_ENTRY_POINT: the loader's entry points of a module (the descriptor
// `exports`, the factory and the release function). On Windows a module names
// them in its .def file instead, so that they keep their plain C names with
// every compiler, the descriptor exported as data.
#if defined(_WIN32)
#if defined(pluginsdk_EXPORTS)
#define PLUGINSDK_API __declspec(dllexport)
#else
#define PLUGINSDK_API __declspec(dllimport)
#endif
#define BAKKESMOD_PLUGIN_EXPORT __declspec(dllexport)
#define PLUGIN_ENTRY_POINT
#else
#define PLUGINSDK_API __attribute__((visibility("default")))
#define BAKKESMOD_PLUGIN_EXPORT __attribute__((visibility("default")))
#define PLUGIN_ENTRY_POINT __attribute__((visibility("default")))
#endif
