#pragma once

#include "panels/TextLookup.h"

#include <QHash>

// The texts the panels ask for, as the text library holds them.
inline TextLookup testTexts()
{
    static const QHash<int, QString> table = {
        {161, "NO."}, {162, "File name"},
        {163, "Open the file"}, {164, "Save the file"}, {165, "Reduction curve"},
        {166, "Zoom in horizontally"}, {167, "Zoom out horizontally"}, {168, "Zoom in vertically"},
        {169, "Zoom out vertically"}, {170, "Move marking line to right"}, {171, "Move marking line to left"},
        {172, "Move marking line to up"}, {173, "Move marking line to down"}, {174, "Toggle marking line"},
        {175, "Toggle curve"}, {176, "Add event "}, {177, "Delete event"},
        {202, "Test Conditions"}, {203, "Wavelength:"}, {204, "Sampling dot:"}, {205, "Test range:"},
        {206, "Average time:"}, {207, "Pulse width:"}, {208, "Refractive index:"}, {209, "Fiber information"},
        {210, "Cable No.:"}, {211, "Fiber No.:"}, {212, "Fiber type:"}, {213, "Operator:"}, {214, "File"},
        {215, "File name:"}, {216, "File date:"}, {217, "File list:"}, {218, "Multi-trace display"},
        {219, "Remove"}, {220, "Delete"}, {231, "Singlemode Fiber"}, {232, "Dispersion Shifted Fiber"},
        {233, "Multi-Mode Fiber"}, {234, "NZ Dispersion Shifted Singlemode Fiber"}, {235, "Edit"},
        {401, "ORL:"},
    };
    return [](int id) { return table.value(id); };
}
