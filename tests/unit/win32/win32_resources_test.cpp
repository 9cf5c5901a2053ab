// The compiled resources of the program (linked into this test program too):
// both dialog templates, read back from the binary resource, match the
// templates the dialog logic and the GTK dialogs are built from, control by
// control; the icon and the product name are there.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/dialog_templates.h"

namespace {

// A reader over a binary DLGTEMPLATE (the classic form that DIALOG makes).
class TemplateReader {
  public:
    explicit TemplateReader(const uint8_t* data) : start_(data), at_(data) {}

    uint16_t Word()
    {
        uint16_t value;
        std::memcpy(&value, at_, 2);
        at_ += 2;
        return value;
    }
    uint32_t Dword() { return Word() | static_cast<uint32_t>(Word()) << 16; }
    int16_t Short() { return static_cast<int16_t>(Word()); }
    // A string or ordinal: 0 is none, 0xFFFF an ordinal, otherwise UTF-16 up to a NUL.
    std::string NameOrOrdinal()
    {
        uint16_t first = Word();
        if (first == 0)
            return "";
        if (first == 0xFFFF)
            return "#" + std::to_string(Word());
        std::string text(1, static_cast<char>(first));
        while (uint16_t c = Word())
            text += static_cast<char>(c);
        return text;
    }
    std::string Text()
    {
        std::string text;
        while (uint16_t c = Word())
            text += static_cast<char>(c);
        return text;
    }
    void AlignDword()
    {
        while ((at_ - start_) % 4)
            ++at_;
    }
    void Skip(size_t bytes) { at_ += bytes; }

  private:
    const uint8_t* start_;
    const uint8_t* at_;
};

// The predefined control classes that a template may name by ordinal.
std::string ClassName(const std::string& name)
{
    if (name == "#128")
        return "BUTTON";
    if (name == "#129")
        return "EDIT";
    if (name == "#130")
        return "STATIC";
    std::string upper;
    for (char c : name)
        upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return upper;
}

std::string Upper(const char* text)
{
    return ClassName(text);
}

const uint8_t* LoadDialogResource(int id)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (!found)
        return nullptr;
    return static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
}

void ExpectResourceMatches(const DialogTemplate& expected)
{
    SCOPED_TRACE(expected.title);
    const uint8_t* data = LoadDialogResource(expected.id);
    ASSERT_NE(data, nullptr) << "no dialog resource " << expected.id;
    TemplateReader reader(data);

    const uint32_t style = reader.Dword();
    ASSERT_NE(style >> 16, 0xFFFFu) << "an extended template; the dialogs are classic ones";
    EXPECT_EQ(style, expected.style);
    EXPECT_EQ(reader.Dword(), 0u) << "extended style";
    const int count = reader.Word();
    EXPECT_EQ(reader.Short(), 0);
    EXPECT_EQ(reader.Short(), 0);
    EXPECT_EQ(reader.Short(), expected.width);
    EXPECT_EQ(reader.Short(), expected.height);
    EXPECT_EQ(reader.NameOrOrdinal(), "") << "menu";
    EXPECT_EQ(reader.NameOrOrdinal(), "") << "class";
    EXPECT_EQ(reader.Text(), expected.title);
    ASSERT_TRUE(style & DS_SETFONT);
    EXPECT_EQ(reader.Word(), expected.fontPoints);
    EXPECT_EQ(reader.Text(), expected.fontName);

    ASSERT_EQ(count, expected.controlCount);
    for (int i = 0; i < count; ++i) {
        const ControlTemplate& control = expected.controls[i];
        SCOPED_TRACE("control #" + std::to_string(i) + " \"" + control.caption + "\"");
        reader.AlignDword();
        EXPECT_EQ(reader.Dword(), WS_CHILD | WS_VISIBLE | control.style);
        EXPECT_EQ(reader.Dword(), 0u) << "extended style";
        EXPECT_EQ(reader.Short(), control.x);
        EXPECT_EQ(reader.Short(), control.y);
        EXPECT_EQ(reader.Short(), control.width);
        EXPECT_EQ(reader.Short(), control.height);
        EXPECT_EQ(reader.Word(), static_cast<uint16_t>(control.id));
        EXPECT_EQ(ClassName(reader.NameOrOrdinal()), Upper(ControlClassName(control.kind)));
        EXPECT_EQ(reader.NameOrOrdinal(), control.caption);
        reader.Skip(reader.Word()); // creation data
    }
}

TEST(Win32Resources, ConfigurationDialogMatchesItsTemplateControlByControl)
{
    ExpectResourceMatches(kConfigureDialogTemplate);
}

TEST(Win32Resources, AboutBoxMatchesItsTemplateAndShowsTheLinksItOpens)
{
    ExpectResourceMatches(kAboutDialogTemplate);
}

TEST(Win32Resources, IconAndProductNameArePresent)
{
    HINSTANCE module = GetModuleHandleA(nullptr);
    EXPECT_NE(
        FindResourceA(module, MAKEINTRESOURCEA(100), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */),
        nullptr);
    char name[64] = {};
    EXPECT_EQ(LoadStringA(module, 1, name, sizeof(name)), 11);
    EXPECT_STREQ(name, "Brittleview");
}

} // namespace
