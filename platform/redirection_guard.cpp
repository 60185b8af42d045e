#include "platform/redirection_guard.h"

#include <windows.h>

namespace {

static_assert(ProcessRedirectionTrustPolicy == 16);

// Looked up, so that the exe still starts on systems without the calls.
template <typename Function> Function Kernel32Proc(const char* name) noexcept {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

bool IsEnforced() noexcept {
    auto getPolicy = Kernel32Proc<decltype(&GetProcessMitigationPolicy)>("GetProcessMitigationPolicy");
    PROCESS_MITIGATION_REDIRECTION_TRUST_POLICY policy = {};
    return getPolicy && getPolicy(GetCurrentProcess(), ProcessRedirectionTrustPolicy, &policy, sizeof policy) &&
           policy.EnforceRedirectionTrust;
}

} // namespace

// Once on it stays on: set only when the read says it is not.
bool EnforceRedirectionTrust() noexcept {
    if (IsEnforced()) {
        return true;
    }
    auto setPolicy = Kernel32Proc<decltype(&SetProcessMitigationPolicy)>("SetProcessMitigationPolicy");
    if (!setPolicy) {
        return false;
    }
    PROCESS_MITIGATION_REDIRECTION_TRUST_POLICY policy = {};
    policy.EnforceRedirectionTrust = 1;
    setPolicy(ProcessRedirectionTrustPolicy, &policy, sizeof policy);
    return IsEnforced();
}
