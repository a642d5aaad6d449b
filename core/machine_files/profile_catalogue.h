#pragma once
// The machine profiles a user can pick: the built-in ones and the user's own, small
// TOML files named <profile>.toml in one folder.
#include <string>
#include <string_view>
#include <vector>

#include "machine/machine_profile.h"

namespace quarvel::machine {

inline constexpr std::string_view kBuiltInSource = "built-in";

struct ProfileEntry {
    MachineProfile profile;
    std::string source;  // kBuiltInSource or the file's path
};

// A user file that could not be used; message is "<file>:<line>: <key>: <what>".
struct ProfileProblem {
    std::string name;  // the profile the file would have given
    std::string message;
};

struct ProfileCatalogue {
    std::vector<ProfileEntry> entries;  // built-ins first, then user files by name
    std::vector<ProfileProblem> problems;

    const ProfileEntry* find(std::string_view name) const;
    const ProfileProblem* problemWith(std::string_view name) const;
};

// Reads one profile file. The profile is named after the file (without ".toml"); a
// "base" key names the built-in it starts from ("plain" when absent), every other key
// overrides one field. Throws IoError when the file cannot be read and FormatError
// (file, line, "<key>: <what>") for bad TOML, an unknown key, a value of the wrong type
// or a profile that cannot work (see ProfileFault).
MachineProfile ReadProfileFile(const std::string& path);

// The built-ins, then every "*.toml" file of `folder` (which may be missing). A file
// named after a built-in replaces it. Bad files are listed in problems and skipped.
ProfileCatalogue LoadProfileCatalogue(const std::string& folder);

// "$XDG_CONFIG_HOME/quarvel/machines", or "$HOME/.config/quarvel/machines" when the
// first is unset or empty (either argument may be null).
std::string DefaultMachinesFolder(const char* xdgConfigHome, const char* home);

}  // namespace quarvel::machine
