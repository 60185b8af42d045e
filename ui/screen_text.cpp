#include "ui/screen_text.h"

#include "discovery/plugin_status.h"

ColoredText RowStatusText(const GameEntry& entry, UiLanguage language) {
    std::wstring tag =
        entry.installedVersion.empty() ? std::wstring(GetText(InstalledWord, language)) : L"v" + entry.installedVersion;
    switch (GetPluginStatus(entry)) {
    case PluginStatus::NewerInstalled:
        return {tag + L" " + GetText(InstalledNewer, language), Theme::Error};
    case PluginStatus::SameVersion:
        return {tag + L" " + GetText(AlreadyInstalled, language), Theme::Success};
    case PluginStatus::UpdateNeeded:
        // Only the predecessor is there: no version of ours to show.
        if (!entry.pluginPresent) {
            return {GetText(OldPluginFound, language), Theme::Accent};
        }
        return {tag + L"  \u2192  " + GetText(UpdateTo, language) + L" v" + InstallerVersion, Theme::Accent};
    case PluginStatus::NotInstalled:
        break;
    }
    return {std::wstring(), Theme::TextSecondary};
}

std::wstring SubtitleText(UiLanguage language) {
    return GetText(InstallerText, language) + std::wstring(L"  \u00B7  v") + InstallerVersion;
}

TextId HeadlineId(bool uninstallMode) noexcept {
    return uninstallMode ? UninstallLabel : ChooseWhereToInstall;
}

TextId MainButtonLabelId(bool finished, bool uninstallMode, const std::vector<GameEntry>& games) noexcept {
    if (finished) {
        return CloseLabel;
    }
    if (uninstallMode) {
        return UninstallLabel;
    }
    return ButtonLabelIdFor(games);
}

bool IsStatusLineShown(const std::wstring& statusText, bool finished, bool uninstallMode,
                       const std::vector<GameEntry>& games) noexcept {
    if (!statusText.empty()) {
        return true;
    }
    const TextId label = finished || uninstallMode ? InstallLabel : ButtonLabelIdFor(games);
    return label == UpdateLabel || label == ReinstallLabel;
}

ColoredText StatusLineText(const std::wstring& statusText, Color statusColor, bool finished, bool uninstallMode,
                           const std::vector<GameEntry>& games, UiLanguage language) {
    if (!statusText.empty() || !IsStatusLineShown(statusText, finished, uninstallMode, games)) {
        return {statusText, statusColor};
    }
    // The hint is drawn only, never stored: a status set later replaces it, and an
    // emptied status brings it back.
    if (ButtonLabelIdFor(games) == UpdateLabel) {
        return {GetText(HintUpdate, language), Theme::Accent};
    }
    return {GetText(HintReinstall, language), Theme::TextSecondary};
}
