#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/x11/reg_file.h"

namespace {

const std::string kKey = "HKEY_CURRENT_USER\\Software\\Quarnel\\ScreenSavers\\Brittleview";
constexpr uint32_t kMissing = 0xdeadbeef;

uint32_t Query(const RegFile& file, const std::string& name, const std::string& key = kKey)
{
    uint32_t value = kMissing;
    return file.QueryDword(key, name, &value) ? value : kMissing;
}

RegFile Parsed(const std::string& text)
{
    RegFile file;
    file.Parse(text);
    return file;
}

} // namespace

TEST(RegFile, WritesValuesInFirstSetOrderAndReadsThemBackIgnoringCase)
{
    RegFile file = Parsed("");
    file.SetDword(kKey, "Priority", 2);
    file.SetDword(kKey, "x_div", 25);
    file.SetDword(kKey, "genChildren", 0xfffffffe);
    file.SetDword(kKey, "Priority", 0xABCDEF01); // replaced where it stands
    const std::string text = "REGEDIT4\n\n"
                             "[HKEY_CURRENT_USER\\Software\\Quarnel\\ScreenSavers\\Brittleview]\n"
                             "\"Priority\"=dword:abcdef01\n"
                             "\"x_div\"=dword:00000019\n"
                             "\"genChildren\"=dword:fffffffe\n\n";
    EXPECT_EQ(file.Serialize(), text);
    const std::string lower = "hkey_current_user\\software\\quarnel\\screensavers\\brittleview";
    EXPECT_EQ(Query(Parsed(text), "X_DIV", lower), 25u);
}

TEST(RegFile, KeepsOtherKeysAndAddsNewValuesAtTheEndOfTheSection)
{
    const std::string text = "REGEDIT4\n\n[" + kKey + "]\n\"Comment\"=\"kept\"\n\n[" + kKey +
                             "\\Presets\\1]\n\"x_div\"=dword:00000040\n\"Blob\"=hex:00,\\\n  10\n";
    RegFile file = Parsed(text);
    EXPECT_EQ(file.Serialize(), text);
    file.SetDword(kKey, "zoom1", 20);
    EXPECT_NE(file.Serialize().find("\"kept\"\n\"zoom1\"=dword:00000014\n\n["), std::string::npos)
        << file.Serialize();
    EXPECT_EQ(Query(file, "x_div", kKey + "\\Presets\\1"), 0x40u);
    EXPECT_TRUE(file.HasKey("HKEY_CURRENT_USER\\Software\\quarnel")) << "a parent of a stored key";
    EXPECT_FALSE(file.HasKey("HKEY_CURRENT_USER\\Software\\Quarn"));
}

TEST(RegFile, OnlyWellFormedDwordsReadAndTheValuesAfterABadLineStillDo)
{
    // clang-format off
    const struct { const char* line; uint32_t expected; } cases[] = {
        {"\"v\"=\"25\"", kMissing},              {"\"v\"=hex:19,00,00,00", kMissing},
        {"\"v\"=dword:0000019", kMissing},         {"\"v\"=dword:000000019", kMissing},
        {"\"v\"=dword:0000001g", kMissing},        {"\"v=dword:00000004", kMissing},
        {"\"v\"=DWORD:0000ABcd", 0xabcd},          {"\"v\" = dword:00000400  ", 0x400},
        {"\"v\"=hex:19,00,\\", kMissing}};
    // clang-format on
    for (const auto& c : cases) {
        const RegFile file = Parsed("REGEDIT4\r\n\r\n[" + kKey + "]\r\n" + c.line +
                                    "\r\n\"afterZ\"=dword:00000002\r\n");
        EXPECT_EQ(Query(file, "v"), c.expected) << c.line;
        EXPECT_EQ(Query(file, "afterz"), 2u) << c.line;
    }

    // A foreign value cut after its continuation mark keeps the next key.
    EXPECT_EQ(Query(Parsed("REGEDIT4\n\n[HKEY_CURRENT_USER\\Other]\n\"blob\"=hex:01,\\\n[" + kKey +
                           "]\n\"v\"=dword:00000003\n"),
                    "v"),
              3u);
}
