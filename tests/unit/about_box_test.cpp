#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "config/about_box.h"
#include "config/dialog_templates.h"
#include "unit/dialog_controls_double.h"

namespace {

class AboutBox : public ::testing::Test {
protected:
    AboutBox() : controls(kAboutDialogTemplate, AboutDialogProc) {}
    DialogControlsDouble controls;
};

TEST_F(AboutBox, OnlyTheTwoLinksAreBlueOnTheButtonFace)
{
    for (int id : {kAboutMailLinkId, kAboutWebLinkId}) {
        EXPECT_EQ(controls.Send(kWmCtlColorStatic, 0x4DC, DialogControlsDouble::Handle(id)),
                  DialogControlsDouble::kButtonFaceBrush);
    }
    EXPECT_EQ(controls.linkColours, (std::vector<uint32_t>{0x00FF0000u, 0x00FF0000u}));

    // The credit and version lines (no id), and any other window, keep the default colours.
    for (int index = 1; index <= 2; ++index) EXPECT_EQ(controls.Send(kWmCtlColorStatic, 0x4DC, controls.HandleAt(index)), 0);
    EXPECT_EQ(controls.Send(kWmCtlColorStatic, 0x4DC, DialogControlsDouble::Handle(1)), 0);
    EXPECT_EQ(controls.Send(kWmCtlColorStatic, 0x4DC, 0), 0);
    EXPECT_EQ(controls.linkColours.size(), 2u);
}

TEST_F(AboutBox, LinksOpenOnEveryClickAndTheBoxStaysOpen)
{
    EXPECT_EQ(controls.Command(kAboutWebLinkId), 0);
    controls.Command(kAboutMailLinkId);
    controls.Command(kAboutWebLinkId, 1 /* STN_DBLCLK: the code is not looked at */);
    EXPECT_EQ(controls.openedLinks,
              (std::vector<std::string>{kAboutWebLink, kAboutMailLink, kAboutWebLink}));
    EXPECT_TRUE(controls.endResults.empty());
    EXPECT_EQ(std::string(kAboutMailLink).rfind("mailto:", 0), 0u);
}

TEST_F(AboutBox, OkAndCancelEndTheBoxWithTheirId)
{
    EXPECT_EQ(controls.Send(kWmInitDialog), 0); // no focus is set by the procedure
    controls.Command(1);
    controls.Command(2);
    controls.Command(3);
    controls.Command(1016);
    EXPECT_EQ(controls.endResults, (std::vector<int>{1, 2}));
    EXPECT_TRUE(controls.openedLinks.empty());
}

TEST(AboutTemplate, LinkStaticsShowExactlyWhatTheyOpen)
{
    const DialogTemplate& about = kAboutDialogTemplate;
    EXPECT_STREQ(about.title, "About Brittleview");
    EXPECT_EQ(about.width, 242);
    EXPECT_EQ(about.height, 206);
    const ControlTemplate* mail = FindControlTemplate(about, kAboutMailLinkId);
    const ControlTemplate* web = FindControlTemplate(about, kAboutWebLinkId);
    ASSERT_NE(mail, nullptr);
    ASSERT_NE(web, nullptr);
    EXPECT_STREQ(mail->caption, kAboutMailLink);
    EXPECT_STREQ(web->caption, kAboutWebLink);
    EXPECT_EQ(mail->style, kSsCenter | kSsNotify);
    EXPECT_EQ(web->style, kSsCenter | kSsNotify);
    // Only addresses the project owns: the reserved documentation domain.
    EXPECT_NE(std::strstr(kAboutMailLink, "example.org"), nullptr);
    EXPECT_NE(std::strstr(kAboutWebLink, "example.org"), nullptr);
    bool version = false;
    for (int i = 0; i < about.controlCount; ++i) version |= std::strcmp(about.controls[i].caption, "Version 1.1") == 0;
    EXPECT_TRUE(version);
}

} // namespace
