// Pictures drawn by the program itself: toolbar buttons, the splash picture, the About picture.
#pragma once

#include <wx/bitmap.h>

struct CCommand;

// The toolbar picture of a command: the desktop's own art for the common file and edit commands,
// the widget's own figure for the drawing tools, else a picture drawn in the figures' style.
wxBitmap CommandBitmap(const CCommand& command);
// The picture drawn here for a command; a null bitmap for those that take the desktop's art.
wxBitmap DrawnCommandBitmap(const CCommand& command);
wxBitmap SplashBitmap();
// The picture that decorates the workspace options dialog.
wxBitmap WorkspaceOptionsBitmap();
