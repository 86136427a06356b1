#pragma once
// One HTTP GET. Only a 200 answer yields a body; everything else (no server, a
// time-out, 404, ...) gives nullopt.

#include <optional>
#include <string>

namespace quorvel::sys {

std::optional<std::string> HttpGet(const std::string& url, double timeoutSeconds = 3.0);

}  // namespace quorvel::sys
