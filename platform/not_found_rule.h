#pragma once
// What a Windows error code says about a path: pure, so that the rule is pinned by a table
// of Windows' own answers, natively and under Wine alike.

// The standard library's list: the path is not there. A path that runs through a file as
// though it were a folder gives ERROR_INVALID_NAME (123) on older Windows and ERROR_DIRECTORY
// (267) on Windows 11 24H2; an unreachable server or share (53) and a dropped network name
// (64) are not there either, for finding things.
constexpr bool IsNotFound(unsigned long error) noexcept {
    switch (error) {
    case 2:   // ERROR_FILE_NOT_FOUND
    case 3:   // ERROR_PATH_NOT_FOUND
    case 53:  // ERROR_BAD_NETPATH
    case 64:  // ERROR_NETNAME_DELETED
    case 123: // ERROR_INVALID_NAME
    case 161: // ERROR_BAD_PATHNAME
    case 267: // ERROR_DIRECTORY
        return true;
    default:
        return false;
    }
}

// Windows 11 and recent Windows 10 refuse, in a process that turned on RedirectionGuard, to
// follow a junction that a standard user made (ERROR_UNTRUSTED_MOUNT_POINT). What lies
// behind it is there all the same: a refusal, never "not there".
constexpr bool IsUntrustedLink(unsigned long error) noexcept {
    return error == 448;
}

// For a removal the question is whether anything is left. A share that cannot be reached may
// still hold the file: a game on a network drive that dropped off has not been cleaned, and
// counting it as cleaned would unregister the product while its library stays.
constexpr bool IsGoneForRemoval(unsigned long error) noexcept {
    return IsNotFound(error) && error != 53 && error != 64;
}
