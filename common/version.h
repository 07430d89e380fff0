#pragma once
// The product's version, set here and nowhere else: the resource scripts build the
// programs' version resources from it, and scripts/dist.sh names the installer and
// the portable zip after it. Plain macros, so the resource compiler reads them too.

#define KESTROW_VERSION_MAJOR 1
#define KESTROW_VERSION_MINOR 0
#define KESTROW_VERSION_PATCH 0
#define KESTROW_VERSION_BUILD 7011

// The web page grab counts its builds on its own.
#define KESTROW_PAGEGRAB_BUILD 3001

// FILEVERSION/PRODUCTVERSION numbers, and the FileVersion text in the form the update
// check compares ("1, 0, 0, 7011").
#define KESTROW_VERSION_NUMBERS \
    KESTROW_VERSION_MAJOR, KESTROW_VERSION_MINOR, KESTROW_VERSION_PATCH, KESTROW_VERSION_BUILD
#define KESTROW_VERSION_TEXT KESTROW_TEXT_OF_NUMBERS(KESTROW_VERSION_NUMBERS)

#define KESTROW_PAGEGRAB_VERSION_NUMBERS \
    KESTROW_VERSION_MAJOR, KESTROW_VERSION_MINOR, KESTROW_VERSION_PATCH, KESTROW_PAGEGRAB_BUILD
#define KESTROW_PAGEGRAB_VERSION_TEXT KESTROW_TEXT_OF_NUMBERS(KESTROW_PAGEGRAB_VERSION_NUMBERS)

// "a, b, c, d" from the four numbers, as adjacent string literals.
#define KESTROW_STRINGIZE(x) #x
#define KESTROW_TEXT_OF_NUMBERS(numbers) KESTROW_TEXT_OF_NUMBERS_(numbers)
#define KESTROW_TEXT_OF_NUMBERS_(a, b, c, d) \
    KESTROW_STRINGIZE(a) ", " KESTROW_STRINGIZE(b) ", " KESTROW_STRINGIZE(c) ", " KESTROW_STRINGIZE(d)
