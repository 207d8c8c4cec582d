#include "textres/Strova.h"

// A replacement text table with a handful of entries in another language.
extern "C" const char *StrovaText(uint16_t id)
{
    switch (id) {
    case 103: return "Veltrane (langue d'essai)";
    case 176: return "Ajouter un événement ";
    case 192: return "Ouvrir";
    case 197: return "Quitter";
    default: return nullptr;
    }
}

CStrova &CStrova::operator=(const CStrova &)
{
    return *this;
}
