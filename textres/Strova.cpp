#include "textres/Strova.h"

#include <algorithm>
#include <iterator>

namespace {

struct TextEntry {
    uint16_t id;
    const char *text; // UTF-8; leading and trailing blanks belong to the text
};

// Sorted by identifier; lookups use a binary search.
constexpr TextEntry textTable[] = {
    {103, "Veltrane"},
    {104, "File name"},
    {105, "Size(KB)"},
    {106, "Date"},
    {107, "Catalogue"},
    {108, "One per page"},
    {109, "Two per page"},
    {110, "Four per page"},
    {111, "Six per page"},
    {112, "Eight per page"},
    {113, "Curve loading .."},
    {114, "Finish curve loading!"},
    {115, "Please select at least one .sor file!"},
    {116, "Event No."},
    {117, "Diatance(Km)"},
    {118, "Segment(Km)"},
    {119, "Loss(dB)"},
    {120, "T.Loss(dB)"},
    {121, "Slope(dB/Km)"},
    {122, "Reflect(dB)"},
    {123, "Please open at least one curve!"},
    {124, "Are you sure you to exit?"},
    {125, "Tips"},
    {126, "OTDR test report"},
    {127, "Task"},
    {128, "Task No."},
    {129, "Contractor"},
    {130, "User"},
    {131, "File name"},
    {132, "Test date"},
    {133, "Operator"},
    {134, "Comment"},
    {135, "Event"},
    {136, "Configuration"},
    {137, "Starting point"},
    {138, "Location"},
    {139, "Cable No."},
    {140, "Fiber No."},
    {141, "Color"},
    {142, "End point"},
    {143, "Location"},
    {144, "Cable No."},
    {145, "Fiber No."},
    {146, "Color"},
    {147, "Wavelength"},
    {148, "Refractive index"},
    {149, "Pulse width"},
    {150, "Test range"},
    {151, "Average time"},
    {152, "Accuracy"},
    {153, "Backscatter"},
    {154, "Attenu threshold"},
    {155, "Reflex threshold"},
    {156, "Fiber end threshold"},
    {157, "Trace"},
    {158, "Auto"},
    {159, " Reflect"},
    {160, " Non-Reflect"},
    {161, "NO."},
    {162, "File name"},
    {163, "Open the file"},
    {164, "Save the file"},
    {165, "Reduction curve"},
    {166, "Zoom in horizontally"},
    {167, "Zoom out horizontally"},
    {168, "Zoom in vertically"},
    {169, "Zoom out vertically"},
    {170, "Move marking line to right"},
    {171, "Move marking line to left"},
    {172, "Move marking line to up"},
    {173, "Move marking line to down"},
    {174, "Toggle marking line"},
    {175, "Toggle curve"},
    {176, "Add event "},
    {177, "Delete event"},
    {178, "No. of exceeded the maximum curve"},
    {179, "Error opening file"},
    {180, "File"},
    {181, "Trace"},
    {182, "Cursor"},
    {183, "Analyze"},
    {184, "About"},
    {185, "H_zoom in"},
    {186, "H_zoom out"},
    {187, "V_zoom in"},
    {188, "V_zoom out"},
    {189, "Trace up"},
    {190, "Trace down"},
    {191, "Toggle cursor"},
    {192, "Open"},
    {193, "Save"},
    {194, "Print preview"},
    {195, "Print"},
    {196, "Batch printing"},
    {197, "Exit"},
    {198, "Move left"},
    {199, "Move right"},
    {200, "Add event"},
    {201, "Delete event"},
    {202, "Test Conditions"},
    {203, "Wavelength:"},
    {204, "Sampling dot:"},
    {205, "Test range:"},
    {206, "Average time:"},
    {207, "Pulse width:"},
    {208, "Refractive index:"},
    {209, "Fiber information"},
    {210, "Cable No.:"},
    {211, "Fiber No.:"},
    {212, "Fiber type:"},
    {213, "Operator:"},
    {214, "File"},
    {215, "File name:"},
    {216, "File date:"},
    {217, "File list:"},
    {218, "Multi-trace display"},
    {219, "Remove"},
    {220, "Delete"},
    {221, "File path:"},
    {222, "Add "},
    {223, "Delete"},
    {224, "Select all"},
    {225, "Clear"},
    {226, "Trace:"},
    {227, "Print type:"},
    {228, "Print preview"},
    {229, "Print"},
    {230, "Selected file:"},
    {231, "Singlemode Fiber"},
    {232, "Dispersion Shifted Fiber"},
    {233, "Multi-Mode Fiber"},
    {234, "NZ Dispersion Shifted Singlemode Fiber"},
    {235, "Edit"},
    {236, "Save"},
    {237, "Cancel"},
    {238, "Unit"},
    // Labels the program shows beyond the original table, so that none comes out blank.
    {239, "A-B distance"},
    {240, "A-B loss"},
    {241, "A-B slope"},
    {243, "Pass/Fail thresholds"},
    {244, "Reflective event loss"},
    {245, "Non-reflective event loss"},
    {246, "Total loss"},
    {247, "Return loss"},
    {248, "Attenuation"},
    {249, "Direction"},
    {250, "Time"},
    {251, "Value"},
    {252, "Operator"},
    {253, "Error saving file"},
    {300, "Power Meter Report"},
    {301, "Next page"},
    {302, "Previous page"},
    {303, "One page"},
    {304, "Two pages"},
    {305, "Zoom in"},
    {306, "Zoom out"},
    {307, "Close"},
    {308, "Export PDF..."},
    {309, "PDF files (*.pdf)"},
    {310, "The PDF file could not be written."},
    {311, "Preparing pages..."},
};

constexpr bool sortedById()
{
    for (std::size_t i = 1; i < std::size(textTable); ++i) {
        if (textTable[i - 1].id >= textTable[i].id)
            return false;
    }
    return true;
}
static_assert(sortedById(), "the text table must stay sorted by identifier");

} // namespace

extern "C" const char *StrovaText(uint16_t id)
{
    const auto *end = std::end(textTable);
    const auto *it = std::lower_bound(std::begin(textTable), end, id,
                                      [](const TextEntry &entry, uint16_t key) { return entry.id < key; });
    return (it != end && it->id == id) ? it->text : nullptr;
}

CStrova &CStrova::operator=(const CStrova &)
{
    return *this;
}
