// The launcher's version, written only here: the version resource includes
// it, and CMake reads it for the manifest and the release archive's name.
#pragma once

#define TRELGATE_VERSION_MAJOR 1
#define TRELGATE_VERSION_MINOR 1
#define TRELGATE_VERSION_PATCH 0
#define TRELGATE_VERSION_BUILD 120

#define TRELGATE_TEXT_(n) #n
#define TRELGATE_TEXT(n) TRELGATE_TEXT_(n)
#define TRELGATE_VERSION_TEXT                                                                        \
    TRELGATE_TEXT(TRELGATE_VERSION_MAJOR) "." TRELGATE_TEXT(TRELGATE_VERSION_MINOR) "."              \
        TRELGATE_TEXT(TRELGATE_VERSION_PATCH) "." TRELGATE_TEXT(TRELGATE_VERSION_BUILD)
