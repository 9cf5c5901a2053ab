#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "config/reg_file.h"
#include "core/random.h"

namespace {

constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\Quarnel\\ScreenSavers\\Brittleview";

uint32_t Query(const RegFile& file, const char* name, uint32_t fallback = 0xdeadbeef)
{
    uint32_t value = fallback;
    return file.QueryDword(kKey, name, &value) ? value : fallback;
}

} // namespace

TEST(RegFile, WritesRegistryExportTextInTheOrderValuesWereFirstSet)
{
    RegFile file;
    file.Parse("");
    file.SetDword(kKey, "Priority", 2);
    file.SetDword(kKey, "x_div", 25);
    file.SetDword(kKey, "genChildren", 0xfffffffe);
    file.SetDword(kKey, "Priority", 0xABCDEF01); // replaced where it stands
    EXPECT_EQ(file.Serialize(),
              "REGEDIT4\n\n"
              "[HKEY_CURRENT_USER\\Software\\Quarnel\\ScreenSavers\\Brittleview]\n"
              "\"Priority\"=dword:abcdef01\n"
              "\"x_div\"=dword:00000019\n"
              "\"genChildren\"=dword:fffffffe\n"
              "\n");

    RegFile again;
    again.Parse(file.Serialize());
    EXPECT_EQ(again.Serialize(), file.Serialize());
    EXPECT_EQ(Query(again, "Priority"), 0xabcdef01u);
    EXPECT_EQ(Query(again, "genChildren"), 0xfffffffeu);
    // Key and value names are matched without regard to case, as in the registry.
    uint32_t value = 0;
    EXPECT_TRUE(again.QueryDword("hkey_current_user\\software\\QUARNEL\\ScreenSavers\\brittleview",
                                 "X_DIV", &value));
    EXPECT_EQ(value, 25u);
}

TEST(RegFile, KeepsOtherKeysValuesAndCommentsExactlyAsTheyWere)
{
    const std::string foreignKey =
        "[HKEY_CURRENT_USER\\Software\\Quarnel\\ScreenSavers\\Brittleview"
        "\\Presets\\1]\n"
        "\"x_div\"=dword:00000040\n"
        "; a comment\n"
        "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,\\\n"
        "  10,11,12\n"
        "@=\"default text\"\n"
        "\n";
    const std::string otherTree = "[HKEY_CURRENT_USER\\Software\\Other]\n"
                                  "\"Name\"=\"a \\\"quoted\\\" string\"\n"
                                  "\"Width\"=dword:00000400\n"
                                  "\n";
    const std::string text = "REGEDIT4\n\n"
                             "[HKEY_CURRENT_USER\\Software\\Quarnel\\ScreenSavers\\Brittleview]\n"
                             "\"Mode\"=dword:00000001\n"
                             "\"Comment\"=\"kept\"\n"
                             "\n" +
                             foreignKey + otherTree;
    RegFile file;
    file.Parse(text);
    EXPECT_EQ(file.Serialize(), text) << "an untouched file is written back unchanged";

    file.SetDword(kKey, "Mode", 3);
    file.SetDword(kKey, "zoom1", 20);
    const std::string out = file.Serialize();
    EXPECT_NE(out.find(foreignKey), std::string::npos) << out;
    EXPECT_NE(out.find(otherTree), std::string::npos) << out;
    EXPECT_NE(
        out.find("\"Mode\"=dword:00000003\n\"Comment\"=\"kept\"\n\"zoom1\"=dword:00000014\n\n"),
        std::string::npos)
        << out;
    EXPECT_TRUE(file.HasKey(kKey));
    EXPECT_TRUE(file.HasKey("HKEY_CURRENT_USER\\Software\\Quarnel")) << "a parent of a stored key";
    EXPECT_FALSE(file.HasKey("HKEY_CURRENT_USER\\Software\\Quarn"));
    uint32_t value = 0;
    EXPECT_TRUE(file.QueryDword(std::string(kKey) + "\\Presets\\1", "x_div", &value));
    EXPECT_EQ(value, 0x40u);
    EXPECT_FALSE(file.QueryDword(std::string(kKey) + "\\Presets\\1", "Blob", &value));
}

TEST(RegFile, ValuesOfOtherTypesOrMalformedAreMissingAndLaterValuesStillRead)
{
    RegFile file;
    file.Parse("REGEDIT4\r\n\r\n"
               "[HKEY_CURRENT_USER\\Software\\Quarnel\\ScreenSavers\\Brittleview]\r\n"
               "\"x_div\"=\"25\"\r\n"
               "\"y_div\"=hex:19,00,00,00\r\n"
               "\"xyAmplitude\"=hex(4):19,00,00,00\r\n"
               "\"xyFrequency1\"=dword:0000019\r\n"   // seven digits
               "\"xyFrequency2\"=dword:000000019\r\n" // nine digits
               "\"xySizeX\"=dword:0000001g\r\n"
               "\"xySizeY\"=dword:-0000001\r\n"
               "\"Mode\"\r\n"
               "\"genChildren=dword:00000004\r\n"
               "garbage line without a name\r\n"
               "\"xyGoraud\"=DWORD:0000ABcd\r\n"
               "  \"useLinear\"=dword:00000001\r\n"
               "\"screenTextureWidth\" = dword:00000400  \r\n"
               "\"odd\\\\name\\\"q\"=dword:00000007\r\n");
    for (const char* name : {"x_div", "y_div", "xyAmplitude", "xyFrequency1", "xyFrequency2",
                             "xySizeX", "xySizeY", "Mode", "genChildren", "useLinear"})
        EXPECT_EQ(Query(file, name), 0xdeadbeefu) << name;
    EXPECT_EQ(Query(file, "xyGoraud"), 0xabcdu);
    EXPECT_EQ(Query(file, "screenTextureWidth"), 0x400u);
    EXPECT_EQ(Query(file, "odd\\name\"q"), 7u);

    // Setting a value replaces its malformed line; lines without a name are gone,
    // and the file keeps its CRLF line ends.
    file.SetDword(kKey, "x_div", 25);
    const std::string out = file.Serialize();
    EXPECT_EQ(out.rfind("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER", 0), 0u) << out;
    EXPECT_NE(out.find("\r\n\"x_div\"=dword:00000019\r\n\"y_div\"=hex:19,00,00,00\r\n"),
              std::string::npos);
    EXPECT_EQ(out.find("garbage"), std::string::npos);
    EXPECT_EQ(out.find("genChildren"), std::string::npos);
    EXPECT_NE(out.find("\"odd\\\\name\\\"q\"=dword:00000007\r\n"), std::string::npos);
    RegFile again;
    again.Parse(out);
    EXPECT_EQ(Query(again, "x_div"), 25u);
    EXPECT_EQ(Query(again, "xyGoraud"), 0xabcdu);
}

TEST(RegFile, RepeatedNamesAndKeysReadTheLastLineAndWriteOne)
{
    RegFile file;
    file.Parse("REGEDIT4\n\n"
               "[HKEY_CURRENT_USER\\Software\\Quarnel\\ScreenSavers\\Brittleview]\n"
               "\"Mode\"=dword:00000001\n"
               "\"mode\"=dword:00000002\n"
               "\n"
               "[HKEY_CURRENT_USER\\Software\\Quarnel\\ScreenSavers\\Brittleview]\n"
               "\"MODE\"=dword:00000003\n");
    EXPECT_EQ(Query(file, "Mode"), 3u);
    file.SetDword(kKey, "Mode", 4);
    const std::string out = file.Serialize();
    EXPECT_EQ(out.find("dword"), out.rfind("dword")) << "exactly one line of the name is left:\n"
                                                     << out;
    RegFile again;
    again.Parse(out);
    EXPECT_EQ(Query(again, "Mode"), 4u);
}

TEST(RegFile, TruncatedOrBinaryTextNeverYieldsAWrongValue)
{
    RegFile written;
    written.Parse("");
    for (uint32_t i = 0; i < 24; ++i)
        written.SetDword(kKey, ("v" + std::to_string(i)).c_str(), 0x11111111u * (i % 15 + 1));
    written.SetDword(std::string(kKey) + "\\Presets\\2", "v0", 5);
    const std::string text = written.Serialize();

    // Every cut of the file: a value is read correctly or not at all.
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        RegFile file;
        file.Parse(text.substr(0, cut));
        for (uint32_t i = 0; i < 24; ++i) {
            uint32_t value = 0;
            if (file.QueryDword(kKey, "v" + std::to_string(i), &value)) {
                ASSERT_EQ(value, 0x11111111u * (i % 15 + 1)) << "cut at " << cut;
            }
        }
        RegFile again; // whatever was kept writes and reads back the same
        again.Parse(file.Serialize());
        ASSERT_EQ(again.Serialize(), file.Serialize()) << "cut at " << cut;
    }

    // Random bytes, then bytes spliced into a good file: nothing crashes, and
    // the lines that were not hit still read.
    SeedRandom(7);
    for (int round = 0; round < 200; ++round) {
        std::string junk(static_cast<size_t>(NextRandom() % 600), '\0');
        for (char& c : junk)
            c = static_cast<char>(NextRandom() & 0xff);
        RegFile file;
        file.Parse(junk);
        file.SetDword(kKey, "x_div", 25);
        RegFile again;
        again.Parse(file.Serialize());
        ASSERT_EQ(Query(again, "x_div"), 25u);

        std::string spliced = text;
        const size_t at = NextRandom() % spliced.size();
        std::string noise = junk.substr(0, 8);
        noise.push_back('\0');
        noise.push_back('\x01');
        spliced.insert(at, noise);
        file.Parse(spliced);
        uint32_t value = 0;
        if (file.QueryDword(kKey, "v23", &value) && at < text.find("\"v23\"")) {
            ASSERT_EQ(value, 0x11111111u * 9);
        }
    }
}
