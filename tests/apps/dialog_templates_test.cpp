#include "backends/native/dialog_templates.h"

#include <gtest/gtest.h>

#include "ui/resource_ids.h"

namespace {
const ControlTemplate* FindControl(const DialogTemplate& form, int id) {
    for (const ControlTemplate& c : form.controls)
        if (c.id == id) return &c;
    return nullptr;
}

TEST(DialogTemplates, ControlPanelHasItsControlsKindsAndPlaces) {
    const auto& templates = BuiltInDialogTemplates();
    ASSERT_TRUE(templates.count(IDD_CONTROL_PANEL));
    const DialogTemplate& panel = templates.at(IDD_CONTROL_PANEL);
    EXPECT_EQ(panel.caption, "Qelv 5 - Control Panel");
    EXPECT_EQ(panel.width, 264);
    EXPECT_EQ(panel.height, 202);
    EXPECT_EQ(panel.controls.size(), 18u);

    struct Expected {
        int id;
        ControlKind kind;
        int x, y, width, height;
    };
    for (const Expected& e : {
             Expected{IDC_ACTIVE_EFFECTS, ControlKind::ListBox, 14, 44, 80, 90},
             Expected{IDC_FRAMEBUFFER_CLEAR, ControlKind::CheckBox, 14, 32, 71, 10},
             Expected{IDC_PAGE_AREA, ControlKind::Area, 114, 49, 137, 137},
             Expected{IDC_PAGE_CAPTION, ControlKind::GroupBox, 107, 39, 150, 152},
             Expected{IDC_LIBRARY, ControlKind::ComboBox, 140, 17, 113, 161},
             Expected{IDC_ADD, ControlKind::PushButton, 112, 17, 25, 13},
             Expected{IDC_FRAME_RATE, ControlKind::Text, 7, 192, 102, 8},
             Expected{IDC_GLOBAL_SETTINGS, ControlKind::ListBox, 14, 160, 80, 26},
         }) {
        const ControlTemplate* c = FindControl(panel, e.id);
        ASSERT_NE(c, nullptr) << e.id;
        EXPECT_EQ(c->kind, e.kind) << e.id;
        EXPECT_EQ(c->x, e.x) << e.id;
        EXPECT_EQ(c->y, e.y) << e.id;
        EXPECT_EQ(c->width, e.width) << e.id;
        EXPECT_EQ(c->height, e.height) << e.id;
    }
    EXPECT_TRUE(FindControl(panel, IDC_LIBRARY)->sorted);
    EXPECT_FALSE(FindControl(panel, IDC_ACTIVE_EFFECTS)->sorted);
    EXPECT_EQ(FindControl(panel, IDC_ADD)->caption, "<- add");
    EXPECT_EQ(panel.controls.back().caption, "Qelv 5.0 preview 2");
    EXPECT_EQ(panel.controls.back().align, TextAlign::Right);
}

TEST(DialogTemplates, PagesResolveClassNamesAndRadioGroups) {
    const auto& templates = BuiltInDialogTemplates();
    EXPECT_EQ(templates.size(), 13u);
    // The trackbar's class is named through a define of the script itself.
    EXPECT_EQ(FindControl(templates.at(IDD_BEAT_PAGE), IDC_BEAT_LOW)->kind, ControlKind::Trackbar);
    EXPECT_EQ(FindControl(templates.at(IDD_ABOUT_PAGE), IDC_ABOUT_TEXT)->kind, ControlKind::Edit);
    const DialogTemplate& simple = templates.at(IDD_SIMPLEVIS_PAGE);
    EXPECT_EQ(FindControl(simple, 1011)->kind, ControlKind::OwnerDrawButton);
    EXPECT_TRUE(FindControl(simple, 1013)->startsGroup);
    EXPECT_EQ(FindControl(simple, 1014)->kind, ControlKind::RadioButton);
    EXPECT_FALSE(FindControl(simple, 1014)->startsGroup);
}

TEST(DialogTemplates, SkipsWhatItCannotReadAndKeepsDoubledQuotes) {
    const auto templates = ParseDialogTemplates(
        "#define PAGE 7\n"
        "PAGE DIALOGEX 0, 0, 40, 30\n"
        "CAPTION \"Say \"\"hi\"\"\"\n"
        "BEGIN\n"
        "    CONTROL \"a, b\", 5, \"Button\", BS_PUSHBUTTON, 1, 2, 3, 4\n"
        "    CONTROL \"broken\", 6, \"Button\", BS_PUSHBUTTON, 1, 2\n"
        "    CONTROL \"unnamed\", NOWHERE, \"Static\", SS_LEFT, 1, 2, 3, 4\n"
        "    LTEXT \"other statement\", 8, 1, 2, 3, 4\n"
        "END\n"
        "UNKNOWN DIALOG 0, 0, 10, 10\n"
        "BEGIN\n"
        "    CONTROL \"lost\", 9, \"Button\", BS_PUSHBUTTON, 1, 2, 3, 4\n"
        "END\n",
        "");
    ASSERT_EQ(templates.size(), 1u);
    const DialogTemplate& form = templates.at(7);
    EXPECT_EQ(form.caption, "Say \"hi\"");
    EXPECT_EQ(form.width, 40);
    ASSERT_EQ(form.controls.size(), 1u);
    EXPECT_EQ(form.controls[0].caption, "a, b");
    EXPECT_EQ(form.controls[0].kind, ControlKind::PushButton);
    EXPECT_EQ(form.controls[0].height, 4);
}
}  // namespace
