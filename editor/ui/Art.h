// Pictures drawn by the program itself: toolbar buttons, the splash picture, the About picture.
#pragma once

#include <wx/bitmap.h>

// The toolbar picture of a command: stock art where there is some, the widget's own figure for
// the drawing tools, else a short text glyph.
wxBitmap CommandBitmap(int id);
wxBitmap SplashBitmap();
