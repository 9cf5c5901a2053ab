// Any bytes as the saver-daemon command line (arguments split at NUL bytes,
// the first one standing for XSCREENSAVER_WINDOW): no crash and no undefined
// behaviour in reading the options, laying them over the settings and
// choosing where to draw; a refusal always names its reason on one line.
#include <cstdlib>
#include <string>
#include <vector>

#include "host/daemon_options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> words(1);
    for (size_t i = 0; i < size; ++i)
        data[i] == 0 ? words.emplace_back().clear()
                     : words.back().push_back(static_cast<char>(data[i]));
    std::vector<const char*> argv = {"brittleview"};
    for (size_t i = 1; i < words.size(); ++i)
        argv.push_back(words[i].c_str());
    DaemonOptions options;
    std::string message;
    const DaemonParse result =
        ParseDaemonCommandLine(static_cast<int>(argv.size()), argv.data(), &options, &message);
    if (result == DaemonParse::kError &&
        (message.empty() || message.find('\n') != std::string::npos))
        std::abort();
    SettingsRecord settings{};
    ApplyDaemonOptions(options, &settings);
    DaemonTarget target;
    message.clear();
    if (!ChooseDaemonTarget(options, words[0].c_str(), &target, &message) && message.empty())
        std::abort();
    return 0;
}
