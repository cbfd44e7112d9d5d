// Reads the analytical load data files that a document names (interval data and the four
// clustered classes) into the document's arrays.
#pragma once

#include <string>
#include <vector>

class CKorvaneDoc;

// Empties the five arrays, then reads the interval, agricultural, industrial, residential and
// other files in that order; a file whose name is empty is skipped. Each line holds one number;
// blank lines are skipped. A file that cannot be opened, or that holds a line that is not a number,
// leaves its array empty. Returns the messages for the user in the order they arose: files that
// could not be opened or read, and clustered files whose count differs from the interval data's.
std::vector<std::string> ReadLoadDataFiles(CKorvaneDoc& doc);
