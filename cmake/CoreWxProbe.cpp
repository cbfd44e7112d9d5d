// Built by a test only: a core source that asks for a toolkit header must not compile.
#include <wx/string.h>
