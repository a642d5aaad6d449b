#include "machine_files/profile_catalogue.h"

#include <toml++/toml.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "text/error.h"

namespace quarvel::machine {

namespace {

namespace fs = std::filesystem;

class ProfileReader {
public:
    ProfileReader(std::string path, const toml::table& table)
        : path_(std::move(path)), table_(table) {}

    MachineProfile read(std::string name) {
        MachineProfile p = baseProfile();
        p.name = std::move(name);
        readTopLevel(p);
        if (const toml::node* limits = table_.get("limits")) {
            const toml::table* t = limits->as_table();
            if (!t) fail(*limits, "limits", "must be a table");
            readLimits(*t, p.limits);
        }
        const std::string fault = ProfileFault(p);
        if (!fault.empty()) throw FormatError(path_, 1, fault);
        return p;
    }

private:
    [[noreturn]] void fail(const toml::node& node, std::string_view key, std::string_view what) {
        throw FormatError(path_, static_cast<long>(node.source().begin.line),
                          std::string(key) + ": " + std::string(what));
    }

    MachineProfile baseProfile() {
        const toml::node* base = table_.get("base");
        if (!base) return PlainProfile();
        const auto name = base->value<std::string>();
        if (!name) fail(*base, "base", "must be a text");
        const MachineProfile* found = FindBuiltInProfile(*name);
        if (!found) fail(*base, "base", "no built-in machine \"" + *name + "\"");
        return *found;
    }

    void readTopLevel(MachineProfile& p) {
        for (const auto& [keyName, node] : table_) {
            const std::string_view key = keyName.str();
            if (key == "base" || key == "limits") continue;
            if (key == "description")
                p.description = text(node, key);
            else if (key == "units_word")
                p.writesUnitsWord = flag(node, key);
            else if (key == "start_block")
                p.startBlock = lines(node, key);
            else if (key == "spindle_start")
                p.startsSpindle = flag(node, key);
            else if (key == "spindle_speed")
                p.spindleSpeed = number(node, key);
            else if (key == "dwell")
                p.dwellSeconds = number(node, key);
            else if (key == "dwell_unit")
                p.dwellUnit = dwellUnit(node, key);
            else if (key == "end_block")
                p.endBlock = lines(node, key);
            else if (key == "comments")
                p.writesComments = flag(node, key);
            else if (key == "line_ending")
                p.lineEnding = lineEnding(node, key);
            else if (key == "decimals")
                p.decimals = static_cast<int>(integer(node, key));
            else if (key == "extension")
                p.extension = text(node, key);
            else
                fail(node, key, "unknown key");
        }
    }

    void readLimits(const toml::table& t, MachineLimits& l) {
        const std::pair<std::string_view, double MachineLimits::*> fields[] = {
            {"rapid_rate", &MachineLimits::rapidRate},
            {"max_feed", &MachineLimits::maxFeed},
            {"acceleration_x", &MachineLimits::accelerationX},
            {"acceleration_y", &MachineLimits::accelerationY},
            {"acceleration_z", &MachineLimits::accelerationZ},
            {"junction_deviation", &MachineLimits::junctionDeviation}};
        for (const auto& [keyName, node] : t) {
            const std::string key(keyName.str());
            const std::string named = "limits." + key;
            const auto field = std::find_if(std::begin(fields), std::end(fields),
                                            [&key](const auto& f) { return f.first == key; });
            if (field == std::end(fields)) fail(node, named, "unknown key");
            l.*(field->second) = number(node, named);
        }
    }

    std::string text(const toml::node& node, std::string_view key) {
        const auto v = node.value<std::string>();
        if (!v) fail(node, key, "must be a text");
        return *v;
    }
    bool flag(const toml::node& node, std::string_view key) {
        if (!node.is_boolean()) fail(node, key, "must be true or false");
        return node.as_boolean()->get();
    }
    double number(const toml::node& node, std::string_view key) {
        if (!node.is_number()) fail(node, key, "must be a number");
        return node.value<double>().value_or(0.0);
    }
    std::int64_t integer(const toml::node& node, std::string_view key) {
        if (!node.is_integer()) fail(node, key, "must be a whole number");
        return node.as_integer()->get();
    }
    // Each line goes into the file as it is: a line break inside would be a new block.
    std::vector<std::string> lines(const toml::node& node, std::string_view key) {
        const toml::array* array = node.as_array();
        if (!array) fail(node, key, "must be a list of texts");
        std::vector<std::string> out;
        for (const toml::node& item : *array) {
            std::string line = text(item, key);
            if (line.find_first_of("\r\n") != std::string::npos)
                fail(item, key, "a line may not hold a line break");
            out.push_back(std::move(line));
        }
        return out;
    }
    DwellUnit dwellUnit(const toml::node& node, std::string_view key) {
        const std::string v = text(node, key);
        if (v == "seconds") return DwellUnit::Seconds;
        if (v == "milliseconds") return DwellUnit::Milliseconds;
        fail(node, key, "must be \"seconds\" or \"milliseconds\"");
    }
    std::string lineEnding(const toml::node& node, std::string_view key) {
        const std::string v = text(node, key);
        if (v == "lf") return "\n";
        if (v == "crlf") return "\r\n";
        fail(node, key, "must be \"lf\" or \"crlf\"");
    }

    std::string path_;
    const toml::table& table_;
};

}  // namespace

const ProfileEntry* ProfileCatalogue::find(std::string_view name) const {
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [name](const ProfileEntry& e) { return e.profile.name == name; });
    return it == entries.end() ? nullptr : &*it;
}

const ProfileProblem* ProfileCatalogue::problemWith(std::string_view name) const {
    const auto it = std::find_if(problems.begin(), problems.end(),
                                 [name](const ProfileProblem& p) { return p.name == name; });
    return it == problems.end() ? nullptr : &*it;
}

MachineProfile ReadProfileFile(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) throw IoError(path, "not a readable file");
    toml::table table;
    try {
        table = toml::parse_file(path);
    } catch (const toml::parse_error& e) {
        throw FormatError(path, static_cast<long>(e.source().begin.line),
                          std::string(e.description()));
    }
    return ProfileReader(path, table).read(fs::path(path).stem().string());
}

ProfileCatalogue LoadProfileCatalogue(const std::string& folder) {
    ProfileCatalogue catalogue;
    for (const MachineProfile& p : BuiltInProfiles())
        catalogue.entries.push_back({p, std::string(kBuiltInSource)});
    std::error_code error;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (it->path().extension() == ".toml") files.push_back(it->path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        const std::string name = file.stem().string();
        try {
            ProfileEntry entry{ReadProfileFile(file.string()), file.string()};
            auto same =
                std::find_if(catalogue.entries.begin(), catalogue.entries.end(),
                             [&name](const ProfileEntry& e) { return e.profile.name == name; });
            if (same != catalogue.entries.end())
                *same = std::move(entry);
            else
                catalogue.entries.push_back(std::move(entry));
        } catch (const Error& e) {
            catalogue.problems.push_back({name, e.what()});
        }
    }
    return catalogue;
}

std::string DefaultMachinesFolder(const char* xdgConfigHome, const char* home) {
    fs::path base;
    if (xdgConfigHome && *xdgConfigHome)
        base = xdgConfigHome;
    else
        base = fs::path(home ? home : "") / ".config";
    return (base / "quarvel" / "machines").string();
}

}  // namespace quarvel::machine
