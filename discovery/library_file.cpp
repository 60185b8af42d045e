#include "discovery/library_file.h"

#include <windows.h>

#include <cstring>
#include <string_view>

#include "discovery/library_line.h"

namespace {

constexpr DWORD ChunkSize = 64 * 1024;
constexpr char CtrlZ = 0x1A;

// Invalid sequences become U+FFFD. Measured with the terminating zero, so the value ends
// at an embedded zero byte.
std::wstring WidenUtf8(const std::string& bytes) {
    int length = MultiByteToWideChar(CP_UTF8, 0, bytes.c_str(), -1, nullptr, 0);
    if (length < 1) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.c_str(), -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

void TakeLine(std::string_view line, bool endsInFeed, std::vector<std::wstring>& values) {
    // Text-mode reading drops the carriage return of a CR LF pair; a lone one stays.
    if (endsInFeed && !line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    std::string_view raw;
    if (FindPathValue(line, raw)) {
        values.push_back(WidenUtf8(CollapseBackslashes(raw)));
    }
}

} // namespace

std::vector<std::wstring> ReadLibraryFolderPaths(const std::wstring& file) noexcept {
    std::vector<std::wstring> values;
    // Opening without backup semantics fails for a folder, which therefore yields nothing.
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return values;
    }
    try {
        std::string buffer(ChunkSize, '\0');
        std::string line;
        bool atEnd = false;
        while (!atEnd) {
            DWORD got = 0;
            if (!ReadFile(handle, buffer.data(), ChunkSize, &got, nullptr) || got == 0) {
                break;
            }
            std::string_view chunk(buffer.data(), got);
            // The C runtime's text mode treats Ctrl+Z as the end of the file; Steam never
            // writes one, but a damaged file reads the same as through a text stream.
            if (size_t end = chunk.find(CtrlZ); end != std::string_view::npos) {
                chunk = chunk.substr(0, end);
                atEnd = true;
            }
            for (size_t feed; (feed = chunk.find('\n')) != std::string_view::npos; chunk.remove_prefix(feed + 1)) {
                if (line.empty()) {
                    TakeLine(chunk.substr(0, feed), true, values);
                } else {
                    line.append(chunk.data(), feed);
                    TakeLine(line, true, values);
                    line.clear();
                }
            }
            line.append(chunk);
        }
        if (!line.empty()) {
            TakeLine(line, false, values);
        }
    } catch (...) {
        // Out of memory on an absurd file: keep what was read so far.
    }
    CloseHandle(handle);
    return values;
}
