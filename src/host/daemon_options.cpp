#include "host/daemon_options.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "config/presets.h"

namespace {

// What an option does with its value (or without one).
enum class Kind {
    kRoot,
    kWindow,
    kWindowId,
    kDelay,
    kFps,
    kNoFps,
    kImage,
    kHelp,
    kVersion,
    kPreset,
    kNumber, // a whole number from low to high into field
    kSwitch, // no value: assigns low to field
    kChoice, // one of the words of choices into field
};

// The words of a choice option and the value each one assigns.
struct Choice {
    const char* word;
    int value;
};
constexpr Choice kModes[] = {{"explode", 0}, {"wave-1", 1}, {"wave-2", 2}, {"wave-3", 3}, {}};
constexpr Choice kTextureSizes[] = {{"128", 128},   {"256", 256},   {"512", 512},
                                    {"1024", 1024}, {"2048", 2048}, {}};

constexpr long kMaxDelay = 10000000; // ten seconds between frames is already a still picture

struct Option {
    const char* name;     // without the leading dashes
    const char* argument; // shown in the usage; nullptr: the option takes no value
    const char* help;     // kNumber options add the field's range
    Kind kind;
    const char* field = nullptr; // the stored value's name (kSettingFields)
    int value = 0;               // what a kSwitch assigns
    const Choice* choices = nullptr;
};

// The ranges are the fields' own (kSettingFields): whole numbers that make a
// sensible picture, with every default and preset value inside them.
const Option kOptions[] = {
    {"root", nullptr, "draw on the root window (or the virtual root)", Kind::kRoot},
    {"window", nullptr, "open a 1024x768 window of its own, to try a setting", Kind::kWindow},
    {"window-id", "ID", "draw into window ID (decimal, or hex with 0x)", Kind::kWindowId},
    {"delay", "N", "pause after each frame, microseconds (default 20000)", Kind::kDelay},
    {"fps", nullptr, "show the frame rate", Kind::kFps},
    {"no-fps", nullptr, "do not show the frame rate", Kind::kNoFps},
    {"image", "FILE", "the picture when the daemon gives no screenshot", Kind::kImage},
    {"help", nullptr, "print this list and exit", Kind::kHelp},
    {"version", nullptr, "print the version and exit", Kind::kVersion},
    {"preset", "NAME", "a built-in look first: explode-1..4 or wave-1..4", Kind::kPreset},
    {"mode", "explode|wave-1|wave-2|wave-3", "the view mode", Kind::kChoice, "Mode", 0, kModes},
    {"children", "N", "pieces a resting piece splits into", Kind::kNumber, "genChildren"},
    {"trails", nullptr, "flying pieces leave trails", Kind::kSwitch, "useTrails", 1},
    {"no-trails", nullptr, "no trails", Kind::kSwitch, "useTrails", 0},
    {"x-divisions", "N", "grid cells across", Kind::kNumber, "x_div"},
    {"y-divisions", "N", "grid cells down", Kind::kNumber, "y_div"},
    {"texture-width", "N", "screen texture width: 128, 256, 512, 1024 or 2048", Kind::kChoice,
     "screenTextureWidth", 0, kTextureSizes},
    {"texture-height", "N", "screen texture height: 128, 256, 512, 1024 or 2048", Kind::kChoice,
     "screenTextureHeight", 0, kTextureSizes},
    {"linear-filtering", nullptr, "smooth the screen texture", Kind::kSwitch, "useLinear", 1},
    {"no-linear-filtering", nullptr, "nearest-texel screen texture", Kind::kSwitch, "useLinear", 0},
    {"wave-amplitude", "N", "wave height", Kind::kNumber, "xyAmplitude"},
    {"wave-rate-1", "N", "first wave time rate", Kind::kNumber, "xyFrequency1"},
    {"wave-rate-2", "N", "second wave time rate", Kind::kNumber, "xyFrequency2"},
    {"wave-size-x", "N", "wave scale across", Kind::kNumber, "xySizeX"},
    {"wave-size-y", "N", "wave scale down", Kind::kNumber, "xySizeY"},
    {"smooth-shading", nullptr, "smooth shading of the wave mesh", Kind::kSwitch, "xyGoraud", 1},
    {"no-smooth-shading", nullptr, "flat shading of the wave mesh", Kind::kSwitch, "xyGoraud", 0},
    {"movement", nullptr, "the camera swings and zooms", Kind::kSwitch, "enableMovement", 1},
    {"no-movement", nullptr, "the camera stays still", Kind::kSwitch, "enableMovement", 0},
    {"rotation-x-amplitude", "N", "camera swing about X, degrees", Kind::kNumber, "rotX0"},
    {"rotation-x-time", "N", "time of the swing about X", Kind::kNumber, "rotX1"},
    {"rotation-y-amplitude", "N", "camera swing about Y, degrees", Kind::kNumber, "rotY0"},
    {"rotation-y-time", "N", "time of the swing about Y", Kind::kNumber, "rotY1"},
    {"rotation-z-amplitude", "N", "camera turn about Z, degrees", Kind::kNumber, "rotZ0"},
    {"rotation-z-time", "N", "time of the turn about Z", Kind::kNumber, "rotZ1"},
    {"zoom-amplitude", "N", "largest zoom, in tenths", Kind::kNumber, "zoom0"},
    {"zoom-time", "N", "time of the zoom", Kind::kNumber, "zoom1"},
    {"priority", "N", "drawing thread priority: 0 lowest, 1 below normal, 2 normal", Kind::kNumber,
     "Priority"},
};

// The option that arg names ("-name", "--name", or either with "=value"),
// or nullptr. *inlineValue is set to the text behind "=", if any.
const Option* FindOption(const char* arg, const char** inlineValue)
{
    *inlineValue = nullptr;
    if (arg[0] != '-')
        return nullptr;
    const char* name = arg + (arg[1] == '-' ? 2 : 1);
    const char* equals = std::strchr(name, '=');
    const size_t length = equals ? static_cast<size_t>(equals - name) : std::strlen(name);
    for (const Option& option : kOptions) {
        if (std::strlen(option.name) == length && std::strncmp(option.name, name, length) == 0) {
            if (equals)
                *inlineValue = equals + 1;
            return &option;
        }
    }
    return nullptr;
}

// Decimal digits only, no sign, no blanks; false when the text is anything
// else or the number is above high (read without overflow).
bool ParseWhole(const char* text, unsigned long long high, unsigned long long* value)
{
    if (*text == '\0')
        return false;
    unsigned long long n = 0;
    for (; *text; ++text) {
        if (*text < '0' || *text > '9')
            return false;
        n = n * 10 + static_cast<unsigned>(*text - '0');
        if (n > high)
            return false;
    }
    *value = n;
    return true;
}

// A window number: decimal, or hexadecimal behind 0x or 0X; 0 is no window.
bool ParseWindowNumber(const char* text, uint64_t* id)
{
    constexpr unsigned long long kMaxId = 0xffffffffULL; // X resource ids are 32 bits
    unsigned long long n = 0;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text += 2;
        if (*text == '\0')
            return false;
        for (; *text; ++text) {
            const unsigned char c = static_cast<unsigned char>(*text);
            if (!std::isxdigit(c))
                return false;
            n = n * 16 +
                static_cast<unsigned>(std::isdigit(c) ? c - '0' : std::tolower(c) - 'a' + 10);
            if (n > kMaxId)
                return false;
        }
    } else if (!ParseWhole(text, kMaxId, &n)) {
        return false;
    }
    *id = n;
    return n != 0;
}

std::string PresetName(const Preset& preset)
{
    // "Explode1" -> "explode-1"
    std::string name;
    for (const char* c = preset.caption; *c; ++c) {
        if (std::isdigit(static_cast<unsigned char>(*c)) && !name.empty() &&
            !std::isdigit(static_cast<unsigned char>(name.back())))
            name += '-';
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    }
    return name;
}

// Text from the command line or the environment as a message quotes it: each
// control byte (a line end among them) shown as '?', so that the message
// stays one line.
std::string Quoted(const char* text)
{
    std::string shown = "\"";
    for (const char* c = text; *c != '\0'; ++c)
        shown += (static_cast<unsigned char>(*c) < 0x20 || *c == 0x7f) ? '?' : *c;
    return shown + "\"";
}

std::string ValueError(const Option& option, const char* value, const std::string& expected)
{
    return "--" + std::string(option.name) + ": " + Quoted(value) + " is not " + expected;
}

std::string ChoiceWords(const Choice* choices)
{
    std::string words;
    for (const Choice* c = choices; c->word; ++c)
        words += (words.empty() ? "" : ", ") + std::string(c->word);
    return words;
}

// Acts on one option with its value (nullptr for an option without one).
bool ApplyOption(const Option& option, const char* value, DaemonOptions* options,
                 std::string* message)
{
    unsigned long long number = 0;
    switch (option.kind) {
    case Kind::kRoot:
        options->root = true;
        return true;
    case Kind::kWindow:
        options->ownWindow = true;
        return true;
    case Kind::kFps:
    case Kind::kNoFps:
        options->showFps = option.kind == Kind::kFps;
        return true;
    case Kind::kHelp:
    case Kind::kVersion:
        return true;
    case Kind::kSwitch:
        options->assignments.push_back(
            {FindSettingField(option.field), static_cast<double>(option.value)});
        return true;
    case Kind::kWindowId:
        if (!ParseWindowNumber(value, &options->windowId)) {
            *message = ValueError(option, value, "a window number (decimal, or hex with 0x)");
            return false;
        }
        return true;
    case Kind::kDelay:
        if (!ParseWhole(value, kMaxDelay, &number)) {
            *message = ValueError(option, value, "a whole number from 0 to 10000000");
            return false;
        }
        options->delayMicros = static_cast<long>(number);
        return true;
    case Kind::kImage:
        if (*value == '\0') {
            *message = "--image: the file name is empty";
            return false;
        }
        options->imagePath = value;
        return true;
    case Kind::kPreset:
        for (int i = 0; i < kPresetCount; ++i) {
            if (PresetName(kPresets[i]) == value) {
                options->preset = i;
                return true;
            }
        }
        *message = ValueError(option, value, "a preset (explode-1..explode-4, wave-1..wave-4)");
        return false;
    case Kind::kNumber: {
        const SettingField* field = FindSettingField(option.field);
        if (!ParseWhole(value, static_cast<unsigned long long>(field->high), &number) ||
            number < static_cast<unsigned long long>(field->low)) {
            *message = ValueError(option, value,
                                  "a whole number from " + std::to_string(field->low) + " to " +
                                      std::to_string(field->high));
            return false;
        }
        options->assignments.push_back({field, static_cast<double>(number)});
        return true;
    }
    case Kind::kChoice:
        for (const Choice* c = option.choices; c->word; ++c) {
            if (std::strcmp(c->word, value) == 0) {
                options->assignments.push_back(
                    {FindSettingField(option.field), static_cast<double>(c->value)});
                return true;
            }
        }
        *message = ValueError(option, value, "one of " + ChoiceWords(option.choices));
        return false;
    }
    return false;
}

} // namespace

DaemonParse ParseDaemonCommandLine(int argc, const char* const* argv, DaemonOptions* options,
                                   std::string* message)
{
    *options = DaemonOptions();
    message->clear();
    const char* inlineValue = nullptr;
    if (argc < 2 || FindOption(argv[1], &inlineValue) == nullptr)
        return DaemonParse::kNotDaemon;

    for (int i = 1; i < argc; ++i) {
        const Option* option = FindOption(argv[i], &inlineValue);
        if (option == nullptr) {
            *message = std::string(argv[i][0] == '-' ? "unknown option" : "unexpected argument") +
                       " " + Quoted(argv[i]) + " (--help lists the options)";
            return DaemonParse::kError;
        }
        const char* value = nullptr;
        if (option->argument == nullptr) {
            if (inlineValue) {
                *message = "--" + std::string(option->name) + " takes no value";
                return DaemonParse::kError;
            }
        } else if (inlineValue) {
            value = inlineValue;
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            *message =
                "--" + std::string(option->name) + " needs a value (" + option->argument + ")";
            return DaemonParse::kError;
        }
        if (!ApplyOption(*option, value, options, message))
            return DaemonParse::kError;
        if (option->kind == Kind::kHelp)
            return DaemonParse::kHelp;
        if (option->kind == Kind::kVersion)
            return DaemonParse::kVersion;
    }
    return DaemonParse::kRun;
}

const char* DaemonUsage()
{
    static const std::string usage = [] {
        std::string text =
            "Usage: brittleview [options]   (or the classic /s, /p ID, /c)\n"
            "Options take one or two leading dashes; values follow a blank or '='.\n";
        for (const Option& option : kOptions) {
            std::string left("  --");
            left += option.name;
            if (option.argument) {
                left += ' ';
                left += option.argument;
            }
            left.resize(std::max<size_t>(left.size() + 2, 40), ' ');
            text += left;
            text += option.help;
            if (option.kind == Kind::kNumber) {
                const SettingField* field = FindSettingField(option.field);
                text += " (" + std::to_string(field->low) + ".." + std::to_string(field->high) + ")";
            }
            text += '\n';
        }
        return text;
    }();
    return usage.c_str();
}

void ApplyDaemonOptions(const DaemonOptions& options, SettingsRecord* settings)
{
    if (options.preset >= 0 && options.preset < kPresetCount)
        ApplyPresetValues(kPresets[options.preset], settings);
    for (const DaemonOptions::Assignment& a : options.assignments) {
        if (a.field)
            SetSettingField(settings, *a.field, a.value);
    }
}

bool ChooseDaemonTarget(const DaemonOptions& options, const char* environmentWindow,
                        DaemonTarget* target, std::string* message)
{
    *target = DaemonTarget();
    const bool fromEnvironment = environmentWindow != nullptr && *environmentWindow != '\0' &&
                                 (options.root || !options.ownWindow);
    if (options.windowId != 0) {
        target->kind = DaemonWindowKind::kForeign;
        target->windowId = options.windowId;
    } else if (fromEnvironment) {
        if (!ParseWindowNumber(environmentWindow, &target->windowId)) {
            *message =
                "XSCREENSAVER_WINDOW: " + Quoted(environmentWindow) + " is not a window number";
            return false;
        }
        target->kind = DaemonWindowKind::kForeign;
    } else if (options.root) {
        target->kind = DaemonWindowKind::kRoot;
    }
    return true;
}
