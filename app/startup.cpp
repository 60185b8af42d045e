#include "app/startup.h"

#include <cwchar>

#include "ui/layout.h"

bool HasUninstallSwitch(const wchar_t* commandLine) noexcept {
    return commandLine && std::wcsstr(commandLine, L"/uninstall") != nullptr;
}

WindowPlacement CenteredPlacement(int workLeft, int workTop, int workRight, int workBottom, float scale) noexcept {
    int width = ScaleUnits(640, scale);
    int height = ScaleUnits(500, scale);
    return {workLeft + (workRight - workLeft - width) / 2, workTop + (workBottom - workTop - height) / 2, width,
            height};
}
