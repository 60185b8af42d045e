#pragma once
// The localized text table: what the window shows and the verbs screen readers say for its
// default actions, in 7 languages. No Windows headers here.
#include <cstdint>

using UiLanguage = std::int32_t; // 0 EN, 1 PT, 2 ES, 3 FR, 4 IT, 5 DE, 6 SV

inline constexpr int LanguageCount = 7;
inline constexpr const wchar_t* LanguageCodes[LanguageCount] = {L"EN", L"PT", L"ES", L"FR", L"IT", L"DE", L"SV"};
// Each language in its own words: a reader hears the cell of the switch as this name followed by
// the code shown, so that voice control finds the cell by what is on screen.
inline constexpr const wchar_t* LanguageNames[LanguageCount] = {
    L"English", L"Portugu\u00EAs", L"Espa\u00F1ol", L"Fran\u00E7ais", L"Italiano", L"Deutsch", L"Svenska"};

enum TextId : std::int32_t {
    InstallerText = 0,
    ChooseWhereToInstall = 1,
    NoGameFound = 2,
    ChooseAnotherFolder = 3,
    NotAGameFolder = 4,
    InstallLabel = 5,
    UninstallLabel = 6,
    CloseLabel = 7,
    Installing = 8,
    DoneInstalled = 9,
    Removed = 10,
    CloseGameFirst = 11,
    WriteFailed = 12,
    SelectAtLeastOneGame = 13,
    InstalledWord = 14,
    DevelopedBy = 15,
    RunAsAdministrator = 16,
    UpdateLabel = 17,
    ReinstallLabel = 18,
    UpdateTo = 19,
    AlreadyInstalled = 20,
    InstalledNewer = 21,
    OldPluginFound = 22,
    HintUpdate = 23,
    HintReinstall = 24,
    DoneUpdated = 25,
    // What a reader's default action does, in the words Windows' own controls use.
    CheckVerb = 26,
    UncheckVerb = 27,
    PressVerb = 28,
    JumpVerb = 29,
};

inline constexpr int TextIdCount = 30;

// One row of the table, one entry per language; an entry may be null.
using TextRow = const wchar_t* const[LanguageCount];

extern const wchar_t* const TextTable[TextIdCount][LanguageCount];

// The lookup rule shared by every reader of the table: a language outside 0..6 or a
// null entry falls back to the row's English text.
const wchar_t* LookupText(const TextRow& row, UiLanguage language) noexcept;

// The text of one message in the given language. The id is not range-checked.
const wchar_t* GetText(TextId id, UiLanguage language) noexcept;

// The start-up choice: the primary language (low 10 bits) of a Windows LANGID.
UiLanguage LanguageFromLangId(std::uint16_t langId) noexcept;
