#include "ui/CaptionDoubleClick.h"

#include <gtk/gtk.h>

#include <wx/minifram.h>

namespace {

struct CCaptionClick {
    wxMiniFrame* frame;
    std::function<void()> action;
};

// Taken before the frame's own handler of presses on its caption, which starts a move on every press.
gboolean OnCaptionEvent(GtkWidget* caption, GdkEvent* event, gpointer data)
{
    const auto* click = static_cast<const CCaptionClick*>(data);
    if (event->type != GDK_2BUTTON_PRESS || event->button.button != 1 ||
        event->button.window != gtk_widget_get_window(caption) ||
        event->button.y >= click->frame->m_miniEdge + click->frame->m_miniTitle)
        return FALSE;
    click->action();
    return TRUE;
}

}  // namespace

void BindCaptionDoubleClick(wxMiniFrame& frame, std::function<void()> action)
{
    // The frame's caption and edges are one event box around what the frame holds.
    GtkWidget* caption = gtk_bin_get_child(GTK_BIN(frame.GetHandle()));
    if (caption == nullptr || !GTK_IS_EVENT_BOX(caption))
        return;
    g_signal_connect_data(caption, "event", G_CALLBACK(OnCaptionEvent), new CCaptionClick{&frame, std::move(action)},
                          [](gpointer data, GClosure*) { delete static_cast<CCaptionClick*>(data); },
                          GConnectFlags(0));
}
