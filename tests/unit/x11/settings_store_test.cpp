// The settings file on X11, on real files. Every unit test on Linux runs with
// XDG_CONFIG_HOME pointed at a scratch folder, so none touches the user's own.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "config/persistence.h"
#include "core/settings.h"
#include "platform/settings_store.h"
#include "unit/dialog_store_sandbox.h"

namespace fs = std::filesystem;

namespace {

std::string scratchRoot;

class ScratchConfigHome : public ::testing::Environment {
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
        fs::remove_all(scratchRoot, ignored);
    }
};
::testing::Environment* const scratch = ::testing::AddGlobalTestEnvironment(new ScratchConfigHome);

const std::string kSection = "[HKEY_CURRENT_USER\\Software\\Quarnel\\ScreenSavers\\Brittleview]\n";
const std::string kDefaultsFile =
    "REGEDIT4\n\n" + kSection +
    "\"Priority\"=dword:00000002\n\"x_div\"=dword:00000019\n\"y_div\"=dword:00000013\n"
    "\"xyAmplitude\"=dword:0000000a\n\"xyFrequency1\"=dword:0000000a\n"
    "\"xyFrequency2\"=dword:0000000a\n\"xySizeX\"=dword:0000003c\n\"xySizeY\"=dword:0000003c\n"
    "\"Mode\"=dword:00000000\n\"genChildren\"=dword:00000002\n\"xyGoraud\"=dword:00000001\n"
    "\"useLinear\"=dword:00000000\n\"screenTextureWidth\"=dword:00000200\n"
    "\"screenTextureHeight\"=dword:00000100\n\"useTrails\"=dword:00000000\n"
    "\"enableMovement\"=dword:00000001\n\"rotX0\"=dword:0000000a\n\"rotX1\"=dword:0000001e\n"
    "\"rotY0\"=dword:0000000a\n\"rotY1\"=dword:00000019\n\"rotZ0\"=dword:0000002d\n"
    "\"rotZ1\"=dword:00000014\n\"zoom0\"=dword:00000019\n\"zoom1\"=dword:00000014\n\n";

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", (home_ + "/missing/parents").c_str(), 1);
        SetDefaultSettings();
        defaults_ = Settings;
    }
    void TearDown() override { setenv("XDG_CONFIG_HOME", (scratchRoot + "/config").c_str(), 1); }

    std::string Read() const
    {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void Write(const std::string& text) const
    {
        fs::create_directories(folder_);
        std::ofstream(path_, std::ios::binary) << text;
    }

    static inline int count = 0;
    const std::string home_ = scratchRoot + "/t" + std::to_string(count++);
    const std::string folder_ = home_ + "/missing/parents/brittleview";
    const std::string path_ = folder_ + "/settings.reg";
    SettingsRecord defaults_;
};

} // namespace

TEST_F(SettingsFile, NoFileMeansDefaultsAndSavesWriteAllValuesInOrder)
{
    Settings.Mode = 3;
    LoadSettings();
    EXPECT_TRUE(SameRecord(Settings, defaults_));
    EXPECT_FALSE(fs::exists(folder_)) << "loading creates nothing";
    SaveSettings();
    EXPECT_EQ(Read(), kDefaultsFile);
    Settings.Mode = 3;
    SaveSettings(); // over the file that is there now
    EXPECT_NE(Read().find("\"Mode\"=dword:00000003\n"), std::string::npos) << Read();
}

TEST_F(SettingsFile, UserPresetSlotsRoundTripAndSurviveSavesOfTheSettings)
{
    Settings.Mode = 2;
    Settings.xyAmplitude = 42;
    for (int slot : {0, 2, 5})
        SaveUserPreset(slot);
    SettingsRecord preset = Settings;
    Settings = defaults_;
    SaveSettings();
    const std::string text = Read();
    EXPECT_NE(text.find("Brittleview\\Presets\\2]\n\"Priority\"=dword:00000002\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("Presets"), text.rfind("Presets")) << "slots 0 and 5 do not exist";
    EXPECT_FALSE(RecallUserPreset(3));
    EXPECT_TRUE(SameRecord(Settings, defaults_)) << "an empty slot changes nothing";
    ASSERT_TRUE(RecallUserPreset(2));
    EXPECT_TRUE(SameRecord(Settings, preset));
}

TEST_F(SettingsFile, RefusedSavesSayWhyAndKeepTheFileAndLocksSitBesideTheRealFile)
{
    SaveSettings();
    struct stat info;
    ASSERT_EQ(stat(folder_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u) << "a new folder is the user's alone";
    Write(kDefaultsFile + "\"Mode\"=dword:00000003\n" + std::string(size_t{40} << 20, 'x'));
    LoadSettings();
    EXPECT_EQ(Settings.Mode, 3) << "a file of 40 MiB is read whole";
    Write(kDefaultsFile);
    Settings.Mode = 3;
    const auto saveSays = [&](const std::string& why) {
        testing::internal::CaptureStderr();
        SaveSettings();
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(Read(), kDefaultsFile) << why;
        EXPECT_EQ(said.find("brittleview: " + path_ + ": " + why), 0u) << said;
        EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
    };
    // A full disk: the temporary does not fit (the message, shorter, does).
    rlimit saved, tiny;
    getrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_IGN);
    tiny = {400, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &tiny);
    saveSays("cannot write a temporary file beside it: File too large");
    setrlimit(RLIMIT_FSIZE, &saved);
    fs::create_hard_link(path_, path_ + ".also");
    saveSays("has 2 names (hard links)");
    fs::remove(path_ + ".also");
    if (geteuid() == 0) { // root saves a user's file: it stays the user's
        ASSERT_EQ(chown(path_.c_str(), 65534, 65534), 0);
        SaveSettings();
        ASSERT_EQ(stat(path_.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid * 100000 + info.st_gid, 65534u * 100000 + 65534u);
        EXPECT_NE(Read().find("\"Mode\"=dword:00000003"), std::string::npos);
    }
    // Through a link the lock is taken beside the real file, where the temporaries are.
    fs::rename(path_, home_ + "/real.reg");
    fs::remove(folder_ + "/settings.reg.lock");
    fs::create_symlink(home_ + "/real.reg", path_);
    SaveSettings();
    EXPECT_TRUE(fs::exists(home_ + "/settings.reg.lock"));
    EXPECT_FALSE(fs::exists(folder_ + "/settings.reg.lock"));
}
