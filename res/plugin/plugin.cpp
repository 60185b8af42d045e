// Stand-in for the plug-in library the installer carries when the real one is not supplied: it has
// the real one's name, exports and version resource, and loads into a game without doing anything.
#include <cstdint>

using scs_u32_t = std::uint32_t;
using scs_result_t = std::int32_t;
struct scs_telemetry_init_params_t; // the game's callbacks and context; never touched here

constexpr scs_result_t SCS_RESULT_ok = 0;
constexpr scs_result_t SCS_RESULT_unsupported = -1;
constexpr scs_u32_t SCS_TELEMETRY_VERSION_1_00 = 0x00010000;

// The telemetry interface is declared __stdcall, which on x64 is the one calling convention: the
// names stay undecorated and the .def lists them as they are.
#define SCSAPI __stdcall

// Accepts only the interface version these declarations describe, and registers nothing.
extern "C" scs_result_t SCSAPI scs_telemetry_init(const scs_u32_t version, const scs_telemetry_init_params_t*) {
    return version == SCS_TELEMETRY_VERSION_1_00 ? SCS_RESULT_ok : SCS_RESULT_unsupported;
}

extern "C" void SCSAPI scs_telemetry_shutdown(void) {}
