#pragma once

#include "panels/TextLookup.h"

#include <QRect>
#include <QString>

#include <optional>
#include <vector>

// Print type chosen in the batch dialog's drop-down list: the list shows texts 108 .. 112
// ("One per page" .. "Eight per page"); entry k selects print type "k" and layout value k.
inline constexpr int firstPrintTypeText = 108;
inline constexpr int printTypeCount = 5;

// k when `text` equals text 108 + k, none otherwise.
std::optional<int> printTypeForText(const QString &text, const TextLookup &texts);

// The cells of the page-layout picture for layout value 0 .. 4 (one, two, four, six, eight per
// page) inside the client rectangle: the client inset by 10, split into columns and rows 6 apart
// with integer divisions. Any other value draws nothing. Each rectangle covers the pixels its
// outline touches (a drawn outline runs along its last column and row).
std::vector<QRect> layoutCells(const QRect &client, int layout);
