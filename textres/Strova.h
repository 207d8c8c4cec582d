#pragma once

#include <cstdint>

// The text library's interface. libStrova.so holds only the user-interface text table; the
// program binds it by path at run time and looks texts up through StrovaText, so replacing the
// file replaces the language of the interface.

#define STROVA_EXPORT __attribute__((visibility("default")))

// Name under which the program resolves the lookup function.
inline constexpr const char strovaTextSymbol[] = "StrovaText";

// The text with this identifier as NUL-terminated UTF-8, or null when the table has none.
// The pointer refers to the library's static data and stays valid while the library is loaded.
extern "C" STROVA_EXPORT const char *StrovaText(uint16_t id);
using StrovaTextFn = const char *(*)(uint16_t id);

// An empty class kept for binary compatibility: its assignment operator is exported and
// nothing calls it.
class STROVA_EXPORT CStrova {
public:
    CStrova() = default;
    CStrova(const CStrova &) = default;
    CStrova &operator=(const CStrova &other);
};
