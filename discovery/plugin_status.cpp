#include "discovery/plugin_status.h"

#include <cstdint>
#include <cwctype>

namespace {

// One "%d" conversion: leading white space, an optional sign, then at least one digit.
// Digits accumulate modulo 2^32, as the platform's scanf does for out-of-range input.
bool ScanDecimal(std::wstring_view text, size_t& pos, std::uint32_t& value) noexcept {
    while (pos < text.size() && std::iswspace(static_cast<wint_t>(text[pos]))) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-')) {
        negative = text[pos] == L'-';
        ++pos;
    }
    size_t digits = 0;
    std::uint32_t result = 0;
    while (pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9') {
        result = result * 10u + static_cast<std::uint32_t>(text[pos] - L'0');
        ++pos;
        ++digits;
    }
    if (digits == 0) {
        return false;
    }
    value = negative ? 0u - result : result;
    return true;
}

} // namespace

int VersionNumber(std::wstring_view version) noexcept {
    std::uint32_t parts[3] = {0, 0, 0};
    size_t pos = 0;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (pos >= version.size() || version[pos] != L'.') {
                break;
            }
            ++pos;
        }
        if (!ScanDecimal(version, pos, parts[i])) {
            break;
        }
    }
    // Signed 32-bit arithmetic that wraps, computed unsigned to stay well defined.
    std::uint32_t number = (parts[0] * 1000u + parts[1]) * 1000u + parts[2];
    return static_cast<int>(number);
}

PluginStatus GetPluginStatus(const GameEntry& entry) noexcept {
    if (!entry.pluginPresent) {
        return entry.oldPluginPresent ? PluginStatus::UpdateNeeded : PluginStatus::NotInstalled;
    }
    if (entry.installedVersion.empty()) {
        return PluginStatus::UpdateNeeded;
    }
    int installed = VersionNumber(entry.installedVersion);
    int ours = VersionNumber(InstallerVersion);
    if (installed < ours) {
        return PluginStatus::UpdateNeeded;
    }
    if (installed > ours) {
        return PluginStatus::NewerInstalled;
    }
    return PluginStatus::SameVersion;
}

TextId ButtonLabelIdFor(const std::vector<GameEntry>& games) noexcept {
    bool anyChecked = false;
    bool anyUpdate = false;
    for (const GameEntry& game : games) {
        if (!game.checked) {
            continue;
        }
        anyChecked = true;
        PluginStatus status = GetPluginStatus(game);
        if (status == PluginStatus::NotInstalled) {
            return InstallLabel;
        }
        anyUpdate = anyUpdate || status == PluginStatus::UpdateNeeded;
    }
    if (!anyChecked) {
        return InstallLabel;
    }
    return anyUpdate ? UpdateLabel : ReinstallLabel;
}
