#include "ui/Printers.h"

#include <cups/cups.h>

std::optional<std::string> FindPrinter(const std::string& name)
{
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.empty() ? nullptr : name.c_str(), nullptr);
    if (dest == nullptr)
        return std::nullopt;
    std::string found = dest->name;
    cupsFreeDests(1, dest);
    return found;
}
