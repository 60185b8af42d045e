#pragma once
// RedirectionGuard: from the call on, the process follows no junction that a standard user
// made (Windows 11, and Windows 10 since its 2022 updates). The junction then answers
// ERROR_UNTRUSTED_MOUNT_POINT. It covers junctions only, and only this process: not symbolic
// links, and not the deletions Windows carries out at the next restart.

// Turns it on, and reads back whether it is on; false where the system has no such policy.
bool EnforceRedirectionTrust() noexcept;
