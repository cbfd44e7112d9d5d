#include <gtest/gtest.h>

#include <wx/frame.h>

TEST(Shell, OpensAndClosesAFrame)
{
    auto* frame = new wxFrame(nullptr, wxID_ANY, "Korvane");
    frame->Show();
    EXPECT_TRUE(frame->IsShown());
    frame->Destroy();
}
