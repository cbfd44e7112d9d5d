// A double click on the caption of a floating bar's frame.
#pragma once

#include <functional>

class wxMiniFrame;

// The frame draws its caption itself, without the window manager, and the toolkit reports no
// click on it to any window. `action` runs inside the toolkit's handler of the click, so it must
// leave the frame in place: whatever removes the frame waits (CallAfter).
void BindCaptionDoubleClick(wxMiniFrame& frame, std::function<void()> action);
