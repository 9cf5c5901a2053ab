#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/about_box.h"
#include "unit/dialog_controls_double.h"

namespace {

using Log = std::vector<std::string>;

TEST(AboutBox, OnlyTheTwoLinksAreBlueAndEachShowsWhatItOpens)
{
    DialogControlsDouble controls(kAboutDialogTemplate, AboutDialogProc);
    for (auto [id, link] : {std::pair{1019, kAboutMailLink}, std::pair{1020, kAboutWebLink}}) {
        EXPECT_EQ(controls.Send(kWmCtlColorStatic, 0x4DC, controls.Handle(id)),
                  controls.kButtonFaceBrush);
        const ControlTemplate* control = FindControlTemplate(kAboutDialogTemplate, id);
        ASSERT_TRUE(control);
        EXPECT_STREQ(control->caption, link);
        EXPECT_TRUE(control->style & kSsNotify) << "a click would never reach the procedure";
        EXPECT_NE(std::string(link).find("example.org"), std::string::npos) << "not our address";
    }
    // The credit and version lines have no id; neither they nor "OK" get colours.
    for (LParam other : {LParam{0x90001}, LParam{0x90002}, controls.Handle(1), LParam{0}})
        EXPECT_EQ(controls.Send(kWmCtlColorStatic, 0x4DC, other), 0);
    EXPECT_EQ(controls.log, (Log{"colour 16711680", "colour 16711680"})); // pure blue, 0x00FF0000
}

TEST(AboutBox, LinksOpenOnEveryClickAndOkOrCancelEndTheBox)
{
    DialogControlsDouble controls(kAboutDialogTemplate, AboutDialogProc);
    EXPECT_EQ(controls.Open(), 0); // the procedure sets no focus
    EXPECT_EQ(controls.Command(1020), 0);
    controls.Command(1019);
    controls.Command(1020, 1 /* STN_DBLCLK: the code is not looked at */);
    for (int id : {3, 1016, 1 /* "OK" and Enter */, 2 /* Escape and the close box */})
        controls.Command(id);
    const std::string web = std::string("open ") + kAboutWebLink;
    EXPECT_EQ(controls.log,
              (Log{web, "open mailto:brittleview@example.org", web, "end 1", "end 2"}));
}

} // namespace
