#pragma once

#include <QString>

#include <functional>

// Fetches a user-interface text by its identifier (the text library's loadText in the program,
// a table in tests). An empty function yields empty texts.
using TextLookup = std::function<QString(int id)>;

inline QString lookupText(const TextLookup &texts, int id)
{
    return texts ? texts(id) : QString();
}
