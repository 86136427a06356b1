#pragma once
// The maker's web server and the version this build is.

#include <string>

namespace quorvel {

// Version file, setup download, forum and product page all live here. The default
// host lies under the reserved .invalid domain, so a check fails at once; tests
// point it at a local server.
extern std::string MakerSite;
inline constexpr const char* DefaultMakerSite = "http://update.quorvel.invalid";

inline constexpr const char* ProgramVersion = "3.03";

}  // namespace quorvel
