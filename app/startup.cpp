#include "app/startup.h"

#include <cwchar>

#include "ui/layout.h"

bool HasUninstallSwitch(const wchar_t* commandLine) noexcept {
    return commandLine && std::wcsstr(commandLine, L"/uninstall") != nullptr;
}

WindowPlacement CenteredPlacement(int workLeft, int workTop, int workRight, int workBottom, float scale) noexcept {
    const Rect client = ClientRectFor(scale);
    const int width = client.right;
    const int height = client.bottom;
    return {workLeft + (workRight - workLeft - width) / 2, workTop + (workBottom - workTop - height) / 2, width,
            height};
}
