// The files and registry values a program writes must not depend on which of
// the two Windows builds wrote them, so a user can switch between the 32-bit and
// the 64-bit program. Each build's test writes its files into a folder of its
// own under a folder both builds share, and compares them with the other
// build's where that build has run on this machine.
#pragma once

#include <string>

namespace crossfiles {

// This build's folder ("win32" or "win64" under the shared folder), created.
std::string MyDir();
// Writes a file into this build's folder under its name at once, so that the
// other build's suite, which may run at the same moment, reads either the old
// or the new file, never half of one. NAME may name a subfolder ("notes\\x").
bool Publish(const std::string &name, const std::string &bytes);
// The other build's folder; it exists only where that build's tests have run.
std::string PartnerDir();
// The other build's copy of a file, or false when it has none.
bool ReadPartner(const std::string &name, std::string *bytes);

}  // namespace crossfiles
