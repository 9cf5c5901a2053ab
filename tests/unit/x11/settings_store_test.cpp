// The settings file on X11, on real files in temporary folders. Every test of
// this program on Linux runs with XDG_CONFIG_HOME pointed at a scratch folder,
// so none of them touches the user's own settings.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "config/persistence.h"
#include "config/reg_file.h"
#include "core/settings.h"
#include "platform/settings_store.h"

namespace {

std::string scratchRoot;

class ScratchConfigHome : public ::testing::Environment {
  public:
    void SetUp() override
    {
        char pattern[] = "/tmp/bv-unit-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        scratchRoot = pattern;
        setenv("XDG_CONFIG_HOME", (scratchRoot + "/config").c_str(), 1);
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(scratchRoot, ignored);
    }
};
::testing::Environment* const scratchEnvironment =
    ::testing::AddGlobalTestEnvironment(new ScratchConfigHome);

const char* const kSection = "[HKEY_CURRENT_USER\\Software\\Quarnel\\ScreenSavers\\Brittleview]\n";

const char* const kDefaultsFile =
    "REGEDIT4\n\n"
    "[HKEY_CURRENT_USER\\Software\\Quarnel\\ScreenSavers\\Brittleview]\n"
    "\"Priority\"=dword:00000002\n"
    "\"x_div\"=dword:00000019\n"
    "\"y_div\"=dword:00000013\n"
    "\"xyAmplitude\"=dword:0000000a\n"
    "\"xyFrequency1\"=dword:0000000a\n"
    "\"xyFrequency2\"=dword:0000000a\n"
    "\"xySizeX\"=dword:0000003c\n"
    "\"xySizeY\"=dword:0000003c\n"
    "\"Mode\"=dword:00000000\n"
    "\"genChildren\"=dword:00000002\n"
    "\"xyGoraud\"=dword:00000001\n"
    "\"useLinear\"=dword:00000000\n"
    "\"screenTextureWidth\"=dword:00000200\n"
    "\"screenTextureHeight\"=dword:00000100\n"
    "\"useTrails\"=dword:00000000\n"
    "\"enableMovement\"=dword:00000001\n"
    "\"rotX0\"=dword:0000000a\n"
    "\"rotX1\"=dword:0000001e\n"
    "\"rotY0\"=dword:0000000a\n"
    "\"rotY1\"=dword:00000019\n"
    "\"rotZ0\"=dword:0000002d\n"
    "\"rotZ1\"=dword:00000014\n"
    "\"zoom0\"=dword:00000019\n"
    "\"zoom1\"=dword:00000014\n"
    "\n";

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::set<std::string> FolderEntries(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

SettingsRecord Defaults()
{
    const SettingsRecord saved = Settings;
    SetDefaultSettings();
    const SettingsRecord defaults = Settings;
    Settings = saved;
    return defaults;
}

bool SameRecord(const SettingsRecord& a, const SettingsRecord& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Runs body in a child process and returns its exit status.
template <typename Body> int InChild(Body body)
{
    const pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = -1;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override
    {
        static int count = 0;
        home_ = scratchRoot + "/t" + std::to_string(count++);
        std::filesystem::create_directories(home_);
        setenv("XDG_CONFIG_HOME", (home_ + "/missing/parents").c_str(), 1);
        folder_ = home_ + "/missing/parents/brittleview";
        path_ = folder_ + "/settings.reg";
        Settings = Defaults();
    }
    void TearDown() override { setenv("XDG_CONFIG_HOME", (scratchRoot + "/config").c_str(), 1); }

    void WriteFile(const std::string& text)
    {
        std::filesystem::create_directories(folder_);
        WriteText(path_, text);
    }

    std::string home_, folder_, path_;
};

} // namespace

TEST_F(SettingsFile, NoFileMeansDefaultsAndASaveWritesAllValuesInOrder)
{
    Settings.Mode = 3;
    Settings.x_div = 1;
    LoadSettings();
    EXPECT_TRUE(SameRecord(Settings, Defaults()));
    EXPECT_FALSE(std::filesystem::exists(folder_)) << "loading creates nothing";

    SaveSettings();
    EXPECT_EQ(ReadText(path_), kDefaultsFile);

    // Without XDG_CONFIG_HOME, or with a relative one, the file is below $HOME.
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", home_.c_str(), 1);
    setenv("XDG_CONFIG_HOME", "relative/dir", 1);
    Settings.Mode = 2;
    SaveSettings();
    unsetenv("XDG_CONFIG_HOME");
    Settings.Mode = 0;
    LoadSettings();
    setenv("HOME", oldHome.c_str(), 1);
    EXPECT_EQ(Settings.Mode, 2);
    EXPECT_TRUE(std::filesystem::exists(home_ + "/.config/brittleview/settings.reg"));
}

TEST_F(SettingsFile, HandEditedFileLoadsWhatIsReadableAndKeepsForeignKeysOnSave)
{
    const std::string foreign = "[HKEY_CURRENT_USER\\Software\\Quarnel\\ScreenSavers\\Brittleview"
                                "\\Presets\\3]\r\n"
                                "\"x_div\"=dword:00000063\r\n"
                                "\"Note\"=\"hand made\"\r\n"
                                "\r\n";
    WriteFile("REGEDIT4\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Quarnel\\ScreenSavers\\Brittleview]\r\n"
              "\"x_div\"=\"25\"\r\n"
              "\"y_div\"=hex:40,00,00,00\r\n"
              "\"Mode\"=dword:00000004\r\n"
              "\"genChildren\"=dword:zz\r\n"
              "\"xySizeX\"=dword:0000007B\r\n"
              "\"useTrails\"=dword:00000005\r\n"
              "\"zoom1\"=dword:ffffffff\r\n"
              "\r\n" +
              foreign);
    LoadSettings();
    SettingsRecord expected = Defaults();
    expected.Mode = 4;
    expected.xySizeX = 123;
    expected.useTrails = 5;
    expected.zoom1 = 4294967296.0f;
    EXPECT_TRUE(SameRecord(Settings, expected));

    SaveSettings();
    const std::string saved = ReadText(path_);
    EXPECT_NE(saved.find(foreign), std::string::npos) << saved;
    EXPECT_NE(
        saved.find(
            "\"x_div\"=dword:00000019\r\n\"y_div\"=dword:00000013\r\n\"Mode\"=dword:00000004"),
        std::string::npos)
        << saved;
    EXPECT_NE(saved.find("\"zoom1\"=dword:00000000\r\n"), std::string::npos)
        << "4294967296 truncates to 2^32, whose low 32 bits are 0";
    LoadSettings();
    expected.zoom1 = 0;
    EXPECT_TRUE(SameRecord(Settings, expected));
}

TEST_F(SettingsFile, GarbledBinaryOrHugeFilesLoadWhatCanBeRead)
{
    // Binary junk before and after good lines.
    std::string junk(300, '\0');
    for (size_t i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<char>((i * 37 + 11) & 0xff);
    WriteFile(junk + "\n" + kSection + "\"Mode\"=dword:00000002\n" + junk +
              "\n\"rotZ0\"=dword:00000009\n");
    LoadSettings();
    EXPECT_EQ(Settings.Mode, 2);
    EXPECT_EQ(Settings.rotZ0, 9.0f);
    SaveSettings();
    LoadSettings();
    EXPECT_EQ(Settings.Mode, 2);
    EXPECT_EQ(ReadText(path_).find('\0'), std::string::npos);

    // A file of several megabytes: the start is read, the rest ignored.
    std::string huge = std::string("REGEDIT4\n\n") + kSection + "\"genChildren\"=dword:00000007\n";
    while (huge.size() < (3u << 20))
        huge += "\"filler\"=\"" + std::string(1000, 'x') + "\"\n";
    huge += "\"useLinear\"=dword:00000001\n";
    WriteFile(huge);
    LoadSettings();
    EXPECT_EQ(Settings.genChildren, 7);
    EXPECT_EQ(Settings.useLinear, 0);
    Settings.zoom1 = 3;
    SaveSettings(); // what a save writes is read back whole
    EXPECT_LE(std::filesystem::file_size(path_), 1u << 20);
    LoadSettings();
    EXPECT_EQ(Settings.genChildren, 7);
    EXPECT_EQ(Settings.zoom1, 3.0f);

    // A folder where the file should be: defaults, and a save does nothing.
    std::filesystem::remove(path_);
    std::filesystem::create_directories(path_);
    LoadSettings();
    EXPECT_TRUE(SameRecord(Settings, Defaults()));
    SaveSettings();
    EXPECT_TRUE(std::filesystem::is_directory(path_));
    EXPECT_EQ(FolderEntries(folder_), (std::set<std::string>{"settings.reg", "settings.reg.lock"}));
}

TEST_F(SettingsFile, ALinkIsFollowedAndAPipeNeverHangsALoad)
{
    // Settings kept elsewhere through a symbolic link: the link stays and
    // the file it points to gets the new values.
    const std::string elsewhere = home_ + "/dotfiles";
    std::filesystem::create_directories(elsewhere);
    WriteText(elsewhere + "/bv.reg",
              std::string("REGEDIT4\n\n") + kSection + "\"Mode\"=dword:00000003\n");
    std::filesystem::create_directories(folder_);
    std::filesystem::create_symlink(elsewhere + "/bv.reg", path_);
    LoadSettings();
    EXPECT_EQ(Settings.Mode, 3);
    Settings.Mode = 1;
    SaveSettings();
    EXPECT_TRUE(std::filesystem::is_symlink(path_));
    EXPECT_NE(ReadText(elsewhere + "/bv.reg").find("\"Mode\"=dword:00000001"), std::string::npos);
    EXPECT_EQ(FolderEntries(elsewhere), std::set<std::string>{"bv.reg"});

    // A named pipe in the file's place: no writer will ever come.
    std::filesystem::remove(path_);
    ASSERT_EQ(mkfifo(path_.c_str(), 0644), 0);
    LoadSettings();
    EXPECT_TRUE(SameRecord(Settings, Defaults()));
}

TEST_F(SettingsFile, SavesReplaceTheFileWholeAndLeaveNoTemporaryFiles)
{
    SaveSettings();
    WriteText(folder_ + "/settings.reg.4242.0.tmp", "left by a writer that crashed");
    for (int i = 0; i < 5; ++i) {
        Settings.genChildren = i;
        SaveSettings();
    }
    EXPECT_EQ(FolderEntries(folder_), (std::set<std::string>{"settings.reg", "settings.reg.lock"}));
    const std::string before = ReadText(path_);

    // A full disk: the new text cannot be written, the old file stays.
    const int status = InChild([] {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
        Settings.genChildren = 99;
        SaveSettings();
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadText(path_), before);
    EXPECT_EQ(FolderEntries(folder_), (std::set<std::string>{"settings.reg", "settings.reg.lock"}));

    // A folder the user cannot write: the save does nothing, silently. Root
    // may write anywhere, so then the save runs as another user.
    std::filesystem::remove(folder_ + "/settings.reg.lock");
    for (const std::string& dir :
         {scratchRoot, home_, home_ + "/missing", home_ + "/missing/parents"})
        chmod(dir.c_str(), 0755);
    chmod(folder_.c_str(), 0555);
    const int unwritable = InChild([] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        Settings.genChildren = 77;
        SaveSettings();
        LoadSettings();
        _exit(Settings.genChildren == 4 ? 0 : 4);
    });
    chmod(folder_.c_str(), 0755);
    chmod(scratchRoot.c_str(), 0700);
    EXPECT_EQ(unwritable, 0);
    EXPECT_EQ(ReadText(path_), before);
    EXPECT_EQ(FolderEntries(folder_), std::set<std::string>{"settings.reg"});
}

TEST_F(SettingsFile, ConcurrentSaversNeverCorruptTheFileOrLoseAnUpdate)
{
    SaveSettings();
    constexpr int kWriters = 4;
    constexpr int kRounds = 40;
    pid_t writers[kWriters];
    for (int w = 0; w < kWriters; ++w) {
        writers[w] = fork();
        if (writers[w] == 0) {
            const std::string own = std::string(SettingsKeyPath) + "\\Writer" + std::to_string(w);
            SettingsRecord record = Defaults();
            for (int round = 0; round < kRounds; ++round) {
                record.genChildren = round;
                WriteSettingsKey(own.c_str(), record, false);
                Settings.Mode = w;
                SaveSettings();
            }
            _exit(0);
        }
    }
    // Meanwhile every load finds all 24 values of the main key.
    int loads = 0;
    for (bool running = true; running; ++loads) {
        running = false;
        for (pid_t writer : writers)
            running |= waitpid(writer, nullptr, WNOHANG) == 0;
        SettingsRecord record;
        std::memset(&record, 0xff, sizeof record); // NaN and -1 are never loaded
        ASSERT_TRUE(ReadSettingsKey(SettingsKeyPath, &record));
        for (float value : {record.x_div, record.y_div, record.xySizeY, record.zoom1})
            ASSERT_FALSE(std::isnan(value)) << "after " << loads << " loads";
        ASSERT_GE(record.Mode, 0);
        ASSERT_GE(record.Priority, 0);
    }
    while (wait(nullptr) > 0) {
    }
    for (int w = 0; w < kWriters; ++w) {
        SettingsRecord record = Defaults();
        const std::string own = std::string(SettingsKeyPath) + "\\Writer" + std::to_string(w);
        ASSERT_TRUE(ReadSettingsKey(own.c_str(), &record)) << "writer " << w << "'s key was lost";
        EXPECT_EQ(record.genChildren, kRounds - 1) << "writer " << w << "'s last save was lost";
    }
    EXPECT_EQ(FolderEntries(folder_), (std::set<std::string>{"settings.reg", "settings.reg.lock"}));
}

TEST_F(SettingsFile, SaverEndingAfterTheDialogSavedKeepsTheDialogsValues)
{
    // The saver starts and loads what is stored.
    Settings.Mode = 1;
    SaveSettings();
    LoadSettings();
    const SettingsRecord saverCopy = Settings;

    // The dialog, a process of its own, saves new values while the saver runs.
    EXPECT_EQ(InChild([] {
                  LoadSettings();
                  Settings.Mode = 2;
                  Settings.xySizeX = 99;
                  Settings.xySizeY = 98;
                  SaveSettings();
              }),
              0);

    // The saver ends.
    Settings = saverCopy;
    SaveMissingSettings();
    LoadSettings();
    EXPECT_EQ(Settings.Mode, 2);
    EXPECT_EQ(Settings.xySizeX, 99.0f);
    EXPECT_EQ(Settings.xySizeY, 98.0f);

    // Values missing or unreadable at that moment are mended, and only those.
    std::string text = ReadText(path_);
    text.replace(text.find("\"x_div\"=dword:00000019"), 22, "\"x_div\"=\"25\"");
    text.erase(text.find("\"rotY1\"=dword:00000019\n"), 23);
    WriteText(path_, text);
    Settings = saverCopy;
    Settings.x_div = 30;
    Settings.rotY1 = 31;
    Settings.Mode = 3;
    SaveMissingSettings();
    LoadSettings();
    EXPECT_EQ(Settings.x_div, 30.0f);
    EXPECT_EQ(Settings.rotY1, 31.0f);
    EXPECT_EQ(Settings.Mode, 2);
    EXPECT_EQ(Settings.xySizeX, 99.0f);

    // With nothing stored, the saver's end leaves all 24 values.
    std::filesystem::remove(path_);
    Settings = Defaults();
    SaveMissingSettings();
    EXPECT_EQ(ReadText(path_), kDefaultsFile);
}

TEST_F(SettingsFile, UserPresetSlotsRoundTripAndSurviveSavesOfTheSettings)
{
    Settings.Mode = 2;
    Settings.xyAmplitude = 42;
    Settings.screenTextureWidth = 1024;
    SaveUserPreset(2);
    SaveUserPreset(0);
    SaveUserPreset(5);
    Settings = Defaults();
    SaveSettings();
    SaveSettings();

    const std::string text = ReadText(path_);
    EXPECT_NE(
        text.find("[HKEY_CURRENT_USER\\Software\\Quarnel\\ScreenSavers\\Brittleview\\Presets\\2]\n"
                  "\"Priority\"=dword:00000002\n"),
        std::string::npos)
        << text;
    EXPECT_EQ(text.find("Presets\\0"), std::string::npos);
    EXPECT_EQ(text.find("Presets\\5"), std::string::npos);

    Settings.zoom0 = 7;
    EXPECT_FALSE(RecallUserPreset(3));
    EXPECT_FALSE(RecallUserPreset(0));
    EXPECT_EQ(Settings.zoom0, 7.0f) << "an empty slot changes nothing";

    ASSERT_TRUE(RecallUserPreset(2));
    SettingsRecord expected = Defaults();
    expected.Mode = 2;
    expected.xyAmplitude = 42;
    expected.screenTextureWidth = 1024;
    EXPECT_TRUE(SameRecord(Settings, expected));

    // A slot missing some values leaves those fields as they are.
    std::string edited = text;
    const size_t slot = edited.find("Presets\\2]");
    edited.erase(edited.find("\"zoom0\"", slot), std::strlen("\"zoom0\"=dword:00000019\n"));
    WriteText(path_, edited);
    Settings.zoom0 = 7;
    ASSERT_TRUE(RecallUserPreset(2));
    EXPECT_EQ(Settings.zoom0, 7.0f);
    EXPECT_EQ(Settings.xyAmplitude, 42.0f);
}
