// Top-level windows shown at their size at once, also under a window manager.
#pragma once

class wxTopLevelWindow;

// Under a window manager GTK holds a new top-level window back until the manager has told the
// size of its borders, and lays it out meanwhile at a width of a pixel or two, far below what its
// menu bar, buttons and scroll bars need (GTK warns). Such a window shows when asked, at its size.
void ShowAtOnce(wxTopLevelWindow& window);
