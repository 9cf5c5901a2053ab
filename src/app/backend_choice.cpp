#include "app/backend_choice.h"

#include <cstring>

BackendRequest ReadBackendRequest(const char* value)
{
    if (!value || !*value)
        return BackendRequest::kAuto;
    if (std::strcmp(value, "x11") == 0)
        return BackendRequest::kX11;
    if (std::strcmp(value, "wayland") == 0)
        return BackendRequest::kWayland;
    return BackendRequest::kUnknown;
}

Backend ChooseBackend(BackendRequest request, bool waylandNamed, bool (*waylandAnswers)(),
                      bool (*x11Answers)())
{
    switch (request) {
    case BackendRequest::kWayland:
        return waylandAnswers() ? Backend::kWayland : Backend::kNone;
    case BackendRequest::kX11:
        return x11Answers() ? Backend::kX11 : Backend::kNone;
    case BackendRequest::kAuto:
        if (waylandNamed && waylandAnswers())
            return Backend::kWayland;
        return x11Answers() ? Backend::kX11 : Backend::kNone;
    case BackendRequest::kUnknown:
        break;
    }
    return Backend::kNone;
}

ClassicMode ClassicModeOf(const char* tail)
{
    for (;; ++tail) {
        switch (*tail) {
        case ' ':
        case '-':
        case '/':
            continue;
        case '\0':
        case 'C':
        case 'c':
            return ClassicMode::kConfigure;
        case 'S':
        case 's':
            return ClassicMode::kFullScreen;
        case 'P':
        case 'p':
        case 'L':
        case 'l':
            return ClassicMode::kPreview;
        case 'A':
        case 'a':
            return ClassicMode::kPassword;
        default:
            return ClassicMode::kOther;
        }
    }
}
