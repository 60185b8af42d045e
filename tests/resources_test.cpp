// Reads the resources back out of the built installer, the way Windows and the install sequence see them.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "res/resource_ids.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::wstring WindowsPath(std::wstring path) {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

const std::wstring SetupExe = WindowsPath(KV_SETUP_EXE);
const std::wstring PayloadDir = WindowsPath(KV_PAYLOAD_DIR);
const std::wstring StandInPlugin = WindowsPath(KV_STAND_IN_PLUGIN);

// The installer mapped as data: nothing of it runs, and its resources are read as Windows would.
class Resources : public testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExW(SetupExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << "cannot map " << testing::PrintToString(SetupExe) << ", error " << GetLastError();
    }
    void TearDown() override {
        if (module)
            FreeLibrary(module);
    }

    // The resource's bytes, or an empty vector when it is missing.
    Bytes Resource(LPCWSTR type, WORD id) const {
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
        if (!found)
            return {};
        HGLOBAL loaded = LoadResource(module, found);
        auto* data = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
        return data ? Bytes(data, data + SizeofResource(module, found)) : Bytes{};
    }

    std::set<WORD> Languages(LPCWSTR type, WORD id) const {
        std::set<WORD> languages;
        EnumResourceLanguagesW(
            module, type, MAKEINTRESOURCEW(id),
            [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) -> BOOL {
                reinterpret_cast<std::set<WORD>*>(param)->insert(language);
                return TRUE;
            },
            reinterpret_cast<LONG_PTR>(&languages));
        return languages;
    }

    HMODULE module = nullptr;
};

Bytes FileBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

template <typename T> T Read(const Bytes& bytes, std::size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size())
        std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

DWORD BigEndian(const Bytes& bytes, std::size_t offset) {
    const DWORD v = Read<DWORD>(bytes, offset);
    return (v >> 24) | (v >> 8 & 0xFF00) | (v << 8 & 0xFF0000) | (v << 24);
}

std::string Tag(const Bytes& bytes, std::size_t offset) {
    return offset + 4 <= bytes.size() ? std::string(bytes.begin() + offset, bytes.begin() + offset + 4) : "";
}

struct PeImage {
    bool valid = false;
    WORD machine = 0;
    WORD characteristics = 0;
    WORD optionalMagic = 0;
    std::string exportName;
    std::vector<std::string> exportedNames;
};

PeImage ParsePe(const Bytes& file) {
    PeImage pe;
    if (Read<WORD>(file, 0) != IMAGE_DOS_SIGNATURE)
        return pe;
    const auto ntOffset = static_cast<std::size_t>(Read<LONG>(file, offsetof(IMAGE_DOS_HEADER, e_lfanew)));
    if (Read<DWORD>(file, ntOffset) != IMAGE_NT_SIGNATURE)
        return pe;
    const auto nt = Read<IMAGE_NT_HEADERS64>(file, ntOffset);
    pe.machine = nt.FileHeader.Machine;
    pe.characteristics = nt.FileHeader.Characteristics;
    pe.optionalMagic = nt.OptionalHeader.Magic;
    if (pe.optionalMagic != IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        return pe;

    const std::size_t sections =
        ntOffset + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
    auto fileOffset = [&](DWORD rva) -> std::size_t {
        for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
            const auto s = Read<IMAGE_SECTION_HEADER>(file, sections + i * sizeof(IMAGE_SECTION_HEADER));
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + std::max(s.Misc.VirtualSize, s.SizeOfRawData))
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return file.size();
    };
    auto text = [&](DWORD rva) {
        std::string s;
        for (std::size_t at = fileOffset(rva); at < file.size() && file[at]; ++at)
            s += static_cast<char>(file[at]);
        return s;
    };

    const auto& exports = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (exports.VirtualAddress == 0 || exports.Size == 0)
        return pe;
    const auto directory = Read<IMAGE_EXPORT_DIRECTORY>(file, fileOffset(exports.VirtualAddress));
    pe.exportName = text(directory.Name);
    const std::size_t names = fileOffset(directory.AddressOfNames);
    for (DWORD i = 0; i < directory.NumberOfNames && names + 4 * i < file.size(); ++i)
        pe.exportedNames.push_back(text(Read<DWORD>(file, names + 4 * i)));
    pe.valid = true;
    return pe;
}

#pragma pack(push, 1)
struct WaveFormat { // the 16 bytes of a PCM `fmt ` chunk
    WORD tag, channels;
    DWORD samplesPerSecond, bytesPerSecond;
    WORD blockAlign, bitsPerSample;
};
#pragma pack(pop)

struct Wave {
    bool riff = false;
    std::vector<std::string> chunks;
    WaveFormat format{};
    std::size_t dataSize = 0;
    std::vector<std::int32_t> peak; // per channel, in 24-bit sample units
};

Wave ParseWave(const Bytes& file) {
    Wave wave;
    wave.riff = Tag(file, 0) == "RIFF" && Tag(file, 8) == "WAVE" && Read<DWORD>(file, 4) + 8 == file.size();
    std::size_t dataOffset = 0;
    for (std::size_t at = 12; at + 8 <= file.size();) {
        const std::string tag = Tag(file, at);
        const DWORD size = Read<DWORD>(file, at + 4);
        wave.chunks.push_back(tag);
        if (tag == "fmt " && at + 8 + sizeof(WaveFormat) <= file.size())
            std::memcpy(&wave.format, file.data() + at + 8, sizeof(WaveFormat));
        if (tag == "data") {
            dataOffset = at + 8;
            wave.dataSize = std::min<std::size_t>(size, file.size() - dataOffset);
        }
        at += 8 + size + (size & 1); // chunks are padded to an even length
    }
    if (wave.format.blockAlign == 6 && wave.format.channels == 2) {
        wave.peak.assign(2, 0);
        for (std::size_t at = dataOffset; at + 3 <= dataOffset + wave.dataSize; at += 3) {
            const std::int32_t sample =
                static_cast<std::int32_t>(file[at] << 8 | file[at + 1] << 16 | file[at + 2] << 24) >> 8;
            auto& peak = wave.peak[(at - dataOffset) / 3 % 2];
            peak = std::max(peak, sample < 0 ? -sample : sample);
        }
    }
    return wave;
}

// The start tags of every element with this name, e.g. `<assemblyIdentity type="win32" ... />`.
std::vector<std::string> StartTags(const std::string& xml, const std::string& element) {
    std::vector<std::string> tags;
    for (std::size_t at = xml.find("<" + element); at != std::string::npos; at = xml.find("<" + element, at + 1)) {
        const char next = xml[at + element.size() + 1];
        if (next == ' ' || next == '>' || next == '/' || next == '\n' || next == '\r' || next == '\t')
            tags.push_back(xml.substr(at, xml.find('>', at) - at + 1));
    }
    return tags;
}

std::map<std::string, std::string> Attributes(const std::string& tag) {
    std::map<std::string, std::string> attributes;
    for (std::size_t eq = tag.find("=\""); eq != std::string::npos; eq = tag.find("=\"", eq + 2)) {
        std::size_t nameStart = tag.find_last_of(" \t\r\n", eq) + 1;
        const std::size_t end = tag.find('"', eq + 2);
        attributes[tag.substr(nameStart, eq - nameStart)] = tag.substr(eq + 2, end - eq - 2);
    }
    return attributes;
}

std::string ElementText(const std::string& xml, const std::string& element) {
    const auto tags = StartTags(xml, element);
    if (tags.empty())
        return "";
    const std::size_t start = xml.find(tags[0]) + tags[0].size();
    return xml.substr(start, xml.find("</" + element, start) - start);
}

TEST_F(Resources, PayloadIsRawDataInUsEnglishAndMatchesTheStagedFiles) {
    const std::pair<WORD, const wchar_t*> payload[] = {{IDR_PLUGIN_DLL, L"Kestrovane.dll"},
                                                       {IDR_DOOR_OPEN_WAV, L"door_open.wav"},
                                                       {IDR_DOOR_CLOSE_WAV, L"door_close.wav"}};
    for (const auto& [id, file] : payload) {
        SCOPED_TRACE(id);
        EXPECT_EQ(Languages(RT_RCDATA, id), std::set<WORD>{MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)});
        const Bytes embedded = Resource(RT_RCDATA, id);
        ASSERT_FALSE(embedded.empty());
        // A stale object file would embed last build's payload: the exe must carry exactly what was staged.
        EXPECT_TRUE(embedded == FileBytes(PayloadDir + L"\\" + file));
    }
    EXPECT_TRUE(Resource(RT_RCDATA, 104).empty());
}

TEST_F(Resources, PluginIsA64BitDllExportingOnlyTheTwoTelemetryEntryPoints) {
    const PeImage pe = ParsePe(Resource(RT_RCDATA, IDR_PLUGIN_DLL));
    ASSERT_TRUE(pe.valid);
    EXPECT_EQ(pe.machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(pe.optionalMagic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
    EXPECT_TRUE(pe.characteristics & IMAGE_FILE_DLL);
    EXPECT_EQ(pe.exportName, "Kestrovane.dll");
    // Undecorated names: the game looks them up exactly like this.
    EXPECT_EQ(pe.exportedNames, (std::vector<std::string>{"scs_telemetry_init", "scs_telemetry_shutdown"}));
}

TEST_F(Resources, SoundsAre24BitStereoPcmWithTheirMetadataAndLength) {
    const std::pair<WORD, std::size_t> sounds[] = {{IDR_DOOR_OPEN_WAV, 43200}, {IDR_DOOR_CLOSE_WAV, 38400}};
    for (const auto& [id, frames] : sounds) {
        SCOPED_TRACE(id);
        const Wave wave = ParseWave(Resource(RT_RCDATA, id));
        EXPECT_TRUE(wave.riff);
        EXPECT_EQ(std::multiset<std::string>(wave.chunks.begin(), wave.chunks.end()),
                  (std::multiset<std::string>{"fmt ", "bext", "minf", "elm1", "regn", "umid", "data"}));
        EXPECT_EQ(wave.format.tag, 1);
        EXPECT_EQ(wave.format.channels, 2);
        EXPECT_EQ(wave.format.samplesPerSecond, 48000u);
        EXPECT_EQ(wave.format.bitsPerSample, 24);
        EXPECT_EQ(wave.format.blockAlign, 6);
        EXPECT_EQ(wave.format.bytesPerSecond, 288000u);
        EXPECT_EQ(wave.dataSize, frames * 6);
        // Both channels carry sound, well above the last few bits (-40 dBFS is about 83886).
        ASSERT_EQ(wave.peak.size(), 2u);
        EXPECT_GT(wave.peak[0], 83886);
        EXPECT_GT(wave.peak[1], 83886);
    }
}

TEST_F(Resources, VersionResourceNamesTheInstallerAndItsVersion) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(SetupExe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<std::uint8_t> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(SetupExe.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(10, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, 2));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(10, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(0, 2));

    auto value = [&](const std::wstring& name) {
        wchar_t* text = nullptr;
        UINT chars = 0;
        const std::wstring path = L"\\StringFileInfo\\040904B0\\" + name;
        if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &chars) || !text)
            return std::wstring(L"<missing>");
        return std::wstring(text);
    };
    EXPECT_EQ(value(L"ProductName"), L"Kestrovane");
    EXPECT_EQ(value(L"FileDescription"), L"Kestrovane Setup");
    EXPECT_EQ(value(L"FileVersion"), L"1.10.2");
    EXPECT_EQ(value(L"ProductVersion"), L"1.10.2");
    EXPECT_EQ(value(L"OriginalFilename"), L"Kestrovane-Setup.exe");
    EXPECT_EQ(value(L"CompanyName"), L"Brasvell");
}

TEST_F(Resources, ManifestAsksForAdministratorAndPerMonitorDpi) {
    const Bytes bytes = Resource(RT_MANIFEST, 1);
    ASSERT_FALSE(bytes.empty());
    const std::string xml(bytes.begin(), bytes.end());

    std::map<std::string, std::map<std::string, std::string>> identities;
    for (const auto& tag : StartTags(xml, "assemblyIdentity")) {
        auto attributes = Attributes(tag);
        identities[attributes["name"]] = attributes;
    }
    EXPECT_EQ(identities["Kestrovane.Setup"]["type"], "win32");
    EXPECT_EQ(identities["Kestrovane.Setup"]["version"], "1.0.0.0");
    EXPECT_EQ(identities["Microsoft.Windows.Common-Controls"]["version"], "6.0.0.0");
    EXPECT_EQ(ElementText(xml, "description"), "Kestrovane Setup");

    const auto level = StartTags(xml, "requestedExecutionLevel");
    ASSERT_EQ(level.size(), 1u);
    EXPECT_EQ(Attributes(level[0])["level"], "requireAdministrator");
    EXPECT_EQ(Attributes(level[0])["uiAccess"], "false");
    EXPECT_EQ(ElementText(xml, "dpiAwareness"), "PerMonitorV2");

    const auto os = StartTags(xml, "supportedOS");
    ASSERT_EQ(os.size(), 1u);
    EXPECT_EQ(Attributes(os[0])["Id"], "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}");

    // The reason for the elevation sits right before the request.
    const std::size_t request = xml.find("<requestedExecutionLevel");
    const std::size_t comment = xml.rfind("<!--", request);
    ASSERT_NE(comment, std::string::npos);
    const std::string reason = xml.substr(comment, request - comment);
    EXPECT_NE(reason.find("Program Files"), std::string::npos) << reason;
    EXPECT_NE(reason.find("administrator rights"), std::string::npos) << reason;
}

TEST_F(Resources, IconGroupHoldsSevenPngImagesOfTheStatedSizes) {
    const Bytes group = Resource(RT_GROUP_ICON, IDI_APP);
    ASSERT_GE(group.size(), 6u);
    EXPECT_EQ(Read<WORD>(group, 2), 1); // icons, not cursors
    const WORD count = Read<WORD>(group, 4);
    ASSERT_EQ(group.size(), 6u + 14u * count);

    std::multiset<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 14 * i;
        const int side = group[entry] == 0 ? 256 : group[entry];
        SCOPED_TRACE(side);
        sizes.insert(side);
        EXPECT_EQ(group[entry + 1], group[entry]); // square
        EXPECT_EQ(Read<WORD>(group, entry + 6), 32);

        const Bytes image = Resource(RT_ICON, Read<WORD>(group, entry + 12));
        EXPECT_EQ(image.size(), Read<DWORD>(group, entry + 8));
        const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        ASSERT_GE(image.size(), 24u);
        EXPECT_EQ(std::memcmp(image.data(), signature, sizeof signature), 0);
        // The PNG's own header (big-endian width and height) agrees with the directory.
        EXPECT_EQ(Tag(image, 12), "IHDR");
        EXPECT_EQ(BigEndian(image, 16), static_cast<unsigned>(side));
        EXPECT_EQ(BigEndian(image, 20), static_cast<unsigned>(side));
    }
    EXPECT_EQ(sizes, (std::multiset<int>{16, 24, 32, 48, 64, 128, 256}));
}

// The stand-in plug-in really loads and answers like a telemetry plug-in: a wrong calling convention
// or a decorated export would only show in a game otherwise.
TEST(StandInPlugin, LoadsAndAcceptsOnlyTelemetryVersion1) {
    HMODULE plugin = LoadLibraryW(StandInPlugin.c_str());
    ASSERT_NE(plugin, nullptr) << GetLastError();
    using Init = std::int32_t(__stdcall*)(std::uint32_t, const void*);
    using Shutdown = void(__stdcall*)();
    // Through void(*)(): the generic function pointer type, which GCC accepts casting from and to.
    auto init = reinterpret_cast<Init>(reinterpret_cast<void (*)()>(GetProcAddress(plugin, "scs_telemetry_init")));
    auto shutdown =
        reinterpret_cast<Shutdown>(reinterpret_cast<void (*)()>(GetProcAddress(plugin, "scs_telemetry_shutdown")));
    ASSERT_NE(init, nullptr);
    ASSERT_NE(shutdown, nullptr);
    EXPECT_EQ(init(0x00010000, nullptr), 0);
    EXPECT_EQ(init(0x00010001, nullptr), -1);
    EXPECT_EQ(init(0x00020000, nullptr), -1);
    EXPECT_EQ(init(0, nullptr), -1);
    shutdown();
    FreeLibrary(plugin);
}

} // namespace
