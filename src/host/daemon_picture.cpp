#include "host/daemon_picture.h"

#include <cctype>
#include <sstream>
#include <string_view>

int PictureOrder(const PictureChoice& choice, PictureSource out[4])
{
    int count = 0;
    if (choice.desktopAllowed) {
        out[count++] = PictureSource::kScreenshot;
        if (choice.targetIsRoot)
            out[count++] = PictureSource::kRootCapture;
    }
    if (choice.haveImageFile)
        out[count++] = PictureSource::kImageFile;
    out[count++] = PictureSource::kOwnPicture;
    return count;
}

namespace {

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

} // namespace

bool DesktopImagesAllowed(const std::string& settingsText)
{
    bool allowed = true;
    std::istringstream lines(settingsText);
    std::string line;
    while (std::getline(lines, line)) {
        // A resource line: optional "*" or "name." prefixes, the name, a colon, the value.
        std::string_view text = Trim(line);
        const size_t colon = text.find(':');
        if (text.empty() || text.front() == '!' || text.front() == '#' ||
            colon == std::string_view::npos)
            continue;
        std::string_view name = Trim(text.substr(0, colon));
        const size_t dot = name.find_last_of(".*");
        if (dot != std::string_view::npos)
            name.remove_prefix(dot + 1);
        if (!EqualsNoCase(name, "grabDesktopImages"))
            continue;
        const std::string_view value = Trim(text.substr(colon + 1));
        allowed = !(EqualsNoCase(value, "false") || EqualsNoCase(value, "off") ||
                    EqualsNoCase(value, "no") || value == "0");
    }
    return allowed;
}
