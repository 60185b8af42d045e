#include <gtest/gtest.h>

#include <algorithm>

#include "install/registration.h"
#include "install_support.h"

#include <shellapi.h>

namespace {

using namespace kvtest;

// Started as "<copy> --register-from-copy <key>", this program registers itself as the
// installer copy would, with its current-user root redirected to <key>.
bool RegisterWhenAsked() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count != 3 || std::wstring(args[1]) != L"--register-from-copy") {
        LocalFree(args);
        return false;
    }
    HKEY root = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, args[2], 0, KEY_ALL_ACCESS, &root) == ERROR_SUCCESS) {
        RegOverridePredefKey(HKEY_CURRENT_USER, root);
        RegisterUninstallEntry();
    }
    ExitProcess(0);
}

const bool helperMode = RegisterWhenAsked();

fs::path OwnPath() {
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    return own;
}

struct RegistryValue {
    std::wstring name;
    DWORD type = 0;
    std::vector<BYTE> data;
};

// Every value of the uninstall entry. Wine enumerates them sorted by name, so the order
// of writing cannot be checked here.
std::vector<RegistryValue> UninstallValues() {
    std::vector<RegistryValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, UninstallKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return values;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        BYTE data[2048];
        DWORD size = sizeof data;
        DWORD type = 0;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) {
            break;
        }
        values.push_back({name, type, std::vector<BYTE>(data, data + size)});
    }
    RegCloseKey(key);
    return values;
}

std::vector<BYTE> TextBytes(const std::wstring& text) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
}

std::vector<BYTE> DwordBytes(DWORD value) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&value);
    return std::vector<BYTE>(bytes, bytes + sizeof value);
}

TEST(RegisterUninstallEntry, CopiesTheInstallerAndWritesTheEightValues) {
    TempFolder local;
    RegistrySandbox registry(local.path());
    const fs::path copy = local.path() / L"Kestrovane" / L"Kestrovane-Setup.exe";
    EXPECT_EQ(InstallerCopyPath(), copy);

    RegisterUninstallEntry();
    EXPECT_EQ(ReadFile(copy), ReadFile(OwnPath()));

    const std::vector<RegistryValue> values = UninstallValues();
    const RegistryValue expected[] = {
        {L"DisplayName", REG_SZ, TextBytes(L"Kestrovane")},
        {L"DisplayVersion", REG_SZ, TextBytes(L"1.10.2")},
        {L"Publisher", REG_SZ, TextBytes(L"Brasvell")},
        {L"URLInfoAbout", REG_SZ, TextBytes(L"https://kestrovane.app")},
        {L"DisplayIcon", REG_SZ, TextBytes(copy.native())},
        {L"UninstallString", REG_SZ, TextBytes(L"\"" + copy.native() + L"\" /uninstall")},
        {L"NoModify", REG_DWORD, DwordBytes(1)},
        {L"NoRepair", REG_DWORD, DwordBytes(1)},
    };
    ASSERT_EQ(values.size(), std::size(expected));
    for (const RegistryValue& want : expected) {
        const std::string name = fs::path(want.name).string();
        auto found =
            std::find_if(values.begin(), values.end(), [&](const RegistryValue& v) { return v.name == want.name; });
        ASSERT_NE(found, values.end()) << name;
        EXPECT_EQ(found->type, want.type) << name;
        EXPECT_EQ(found->data, want.data) << name;
    }
}

TEST(RegisterUninstallEntry, ReplacesAnOlderCopyButNeverTheRunningOne) {
    TempFolder local;
    RegistrySandbox registry(local.path());
    const fs::path copy = InstallerCopyPath();
    WriteFile(copy, "an older installer");
    RegisterUninstallEntry();
    EXPECT_EQ(ReadFile(copy), ReadFile(OwnPath()));

    // Now run the copy itself: it must leave its own file alone (a second name of the same
    // file tells whether it was replaced) and still write the entry.
    const fs::path witness = local.path() / L"witness";
    ASSERT_TRUE(CreateHardLinkW(witness.c_str(), copy.c_str(), nullptr));
    RegDeleteTreeW(HKEY_CURRENT_USER, UninstallKeyPath);
    std::wstring command = L"\"" + copy.native() + L"\" --register-from-copy " + registry.userKeyPath();
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_TRUE(SameFile(copy, witness));
    EXPECT_EQ(ReadFile(copy), ReadFile(OwnPath()));
    EXPECT_EQ(UninstallValues().size(), 8u);
}

TEST(UnregisterUninstallEntry, DeletesTheEntryAndQueuesCopyThenFolder) {
    TempFolder local;
    RegistrySandbox registry(local.path());
    RegisterUninstallEntry();
    HKEY sub = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(UninstallKeyPath) + L"\\Extra").c_str(), 0, nullptr, 0, KEY_WRITE,
                    nullptr, &sub, nullptr);
    RegCloseKey(sub);

    UnregisterUninstallEntry();
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, UninstallKeyPath));
    const fs::path copy = InstallerCopyPath();
    EXPECT_TRUE(Exists(copy)) << "the copy goes only at the next restart";

    const std::vector<std::wstring> pending = PendingRenames();
    std::vector<std::wstring> ours;
    for (size_t i = 0; i + 1 < pending.size(); i += 2) {
        if (pending[i].find(local.path().native()) != std::wstring::npos) {
            ours.push_back(pending[i]);
            EXPECT_EQ(pending[i + 1], L"") << "a deletion, not a rename";
        }
    }
    ForgetPendingRenamesBelow(local.path());
    ASSERT_EQ(ours.size(), 2u);
    EXPECT_EQ(ours[0], L"\\??\\" + copy.native());
    EXPECT_EQ(ours[1], L"\\??\\" + copy.parent_path().native());
}

} // namespace
