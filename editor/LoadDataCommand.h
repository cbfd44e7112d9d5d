// The load data step of the analytical settings command: the five load data files the document
// names are read again into its arrays.
#pragma once

#include <string>
#include <vector>

class CKorvaneDoc;

// Empties the document's five load data arrays and reads the files it names into them; returns
// the messages for the user, in the order the problems were found.
std::vector<std::string> RereadLoadData(CKorvaneDoc& doc);
