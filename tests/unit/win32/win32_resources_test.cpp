// The compiled dialog resources (linked into this test program too), read
// back from the binary templates, match the tables the dialog logic and the
// GTK dialogs are built from, field by field and control by control.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "config/dialog_templates.h"

namespace {

// A reader over a classic binary DLGTEMPLATE, as the DIALOG statement makes.
struct TemplateReader {
    const uint8_t* start;
    const uint8_t* at;

    uint16_t Word()
    {
        uint16_t value;
        std::memcpy(&value, at, 2);
        at += 2;
        return value;
    }
    uint32_t Dword() { return Word() | static_cast<uint32_t>(Word()) << 16; }
    int Short() { return static_cast<int16_t>(Word()); }
    // A string, or an ordinal (0xFFFF first), with the predefined control classes named.
    std::string NameOrOrdinal()
    {
        static const char* const kClasses[] = {"Button", "Edit", "Static"};
        std::string text;
        for (uint16_t c = Word(); c; c = Word()) {
            if (c == 0xFFFF && text.empty()) {
                const uint16_t ordinal = Word();
                return ordinal >= 0x80 && ordinal < 0x83 ? kClasses[ordinal - 0x80]
                                                         : "#" + std::to_string(ordinal);
            }
            text += static_cast<char>(c);
        }
        return text;
    }
};

TEST(Win32Resources, DialogTemplatesMatchTheirTablesControlByControl)
{
    HMODULE module = GetModuleHandleA(nullptr);
    for (const DialogTemplate* expected : {&kConfigureDialogTemplate, &kAboutDialogTemplate}) {
        SCOPED_TRACE(expected->title);
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(expected->id), RT_DIALOG);
        ASSERT_NE(found, nullptr) << "no dialog resource " << expected->id;
        const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
        TemplateReader reader{data, data};

        const uint32_t style = reader.Dword();
        EXPECT_EQ(style, expected->style);
        EXPECT_EQ(reader.Dword(), 0u) << "extended style";
        const int count = reader.Word();
        EXPECT_EQ(reader.Dword(), 0u) << "position";
        EXPECT_EQ(reader.Short(), expected->width);
        EXPECT_EQ(reader.Short(), expected->height);
        EXPECT_EQ(reader.NameOrOrdinal(), "") << "menu";
        EXPECT_EQ(reader.NameOrOrdinal(), "") << "class";
        EXPECT_EQ(reader.NameOrOrdinal(), expected->title);
        ASSERT_TRUE(style & DS_SETFONT);
        EXPECT_EQ(reader.Word(), expected->fontPoints);
        EXPECT_EQ(reader.NameOrOrdinal(), expected->fontName);

        ASSERT_EQ(count, expected->controlCount);
        for (int i = 0; i < count; ++i) {
            const ControlTemplate& control = expected->controls[i];
            SCOPED_TRACE("control #" + std::to_string(i) + " \"" + control.caption + "\"");
            reader.at += (4 - (reader.at - reader.start) % 4) % 4;
            EXPECT_EQ(reader.Dword(), WS_CHILD | WS_VISIBLE | control.style);
            EXPECT_EQ(reader.Dword(), 0u) << "extended style";
            EXPECT_EQ(reader.Short(), control.x);
            EXPECT_EQ(reader.Short(), control.y);
            EXPECT_EQ(reader.Short(), control.width);
            EXPECT_EQ(reader.Short(), control.height);
            EXPECT_EQ(reader.Word(), static_cast<uint16_t>(control.id));
            EXPECT_STRCASEEQ(reader.NameOrOrdinal().c_str(), ControlClassName(control.kind));
            EXPECT_EQ(reader.NameOrOrdinal(), control.caption);
            reader.at += reader.Word(); // creation data
        }
    }
    char name[64] = {};
    EXPECT_EQ(LoadStringA(module, 1, name, sizeof(name)), 11);
    EXPECT_STREQ(name, "Brittleview");
}

} // namespace
