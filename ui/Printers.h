// The printers of the desktop's print system (CUPS), asked directly: the toolkit's print without
// its dialog waits for good for a printer that is not there.
#pragma once

#include <optional>
#include <string>

// The printer a print goes to: the one called `name`, or the default printer when `name` is empty;
// nothing when there is no such printer (none is set up, or the print system does not answer).
std::optional<std::string> FindPrinter(const std::string& name);
