#pragma once

#include <QString>

#include <functional>

// The program's side of the text library: binds libStrova.so from a folder and fetches texts
// by identifier. Lookups never fail loudly: an unloaded library or an unknown identifier gives
// an empty text.

// The message for a failed load; the main window shows it in a message box.
QString textLoadFailureMessage();

// Called once for each failed load with textLoadFailureMessage(). Without a handler the
// failure is only logged. The main window installs one that shows a message box.
using TextLoadFailureHandler = std::function<void(const QString &message)>;
void setTextLoadFailureHandler(TextLoadFailureHandler handler);

// Loads "Strova" from `folder` (libStrova.so on Linux), replacing any library loaded before.
// Returns false, after calling the failure handler, when the file cannot be loaded or lacks
// the lookup function; later lookups then give empty texts.
bool loadTextLibrary(const QString &folder);

// Releases the library; later lookups give empty texts.
void unloadTextLibrary();

bool textLibraryLoaded();

// The text with this identifier as a fresh string; empty when the identifier is outside
// 0..65535, absent from the table, or no library is loaded.
QString loadText(int id);
