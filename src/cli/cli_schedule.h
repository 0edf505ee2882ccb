#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace brenvale {

// The commands on dates and quick adds, "agenda" and "add" (args[0]); nothing for any other
// command. Returns the exit code.
std::optional<int> RunScheduleCommand(const std::vector<std::string>& args, std::ostream& out,
                                      std::ostream& err);

}  // namespace brenvale
