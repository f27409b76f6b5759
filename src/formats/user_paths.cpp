#include "formats/user_paths.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace formats {

namespace fs = std::filesystem;

namespace {

std::string& ProgramArgument() {
    static std::string argument;
    return argument;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool IsDirectory(const fs::path& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

// The value of XDG_DOCUMENTS_DIR in user-dirs.dirs: a quoted path, absolute
// or starting with $HOME; empty when the file does not say.
std::string DocumentsDirOfUserDirs(const UserEnvironment& env) {
    std::ifstream in(fs::path(UserConfigDir(env)) / "user-dirs.dirs");
    const std::string key = "XDG_DOCUMENTS_DIR=";
    std::string line;
    std::string found;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::string value = line.substr(start + key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        std::string unescaped;
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (value[i] == '\\' && i + 1 < value.size()) ++i;
            unescaped += value[i];
        }
        if (unescaped.rfind("$HOME", 0) == 0 && (unescaped.size() == 5 || unescaped[5] == '/')) {
            unescaped = env.home + unescaped.substr(5);
        }
        // The last line that says it wins, as when the shell sources the file.
        if (!unescaped.empty() && unescaped.front() == '/') found = unescaped;
    }
    return found;
}

}  // namespace

UserEnvironment CurrentUserEnvironment() {
    UserEnvironment env;
    std::error_code ec;
    env.startDir = fs::current_path(ec).string();
    env.home = Environment("HOME");
    env.xdgConfigHome = Environment("XDG_CONFIG_HOME");
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        env.programPath = self.string();
    } else if (!ProgramArgument().empty()) {
        // A bare name was found on the PATH; that case has no folder to go by.
        const fs::path argument(ProgramArgument());
        if (argument.has_parent_path()) env.programPath = fs::absolute(argument, ec).string();
    }
    return env;
}

void RememberProgramArgument(const char* argv0) { ProgramArgument() = argv0 != nullptr ? argv0 : ""; }

std::string UserConfigDir(const UserEnvironment& env) {
    if (!env.xdgConfigHome.empty() && env.xdgConfigHome.front() == '/') return env.xdgConfigHome;
    return (fs::path(env.home) / ".config").string();
}

std::string ConfigFilePath(const UserEnvironment& env) {
    const fs::path startUp = fs::path(env.startDir) / kConfigFileName;
    std::error_code ec;
    if (fs::exists(startUp, ec)) return startUp.string();
    return (fs::path(UserConfigDir(env)) / "morphwright" / kConfigFileName).string();
}

std::string InstalledObjectDir(const UserEnvironment& env) {
    if (env.programPath.empty()) return "";
    const fs::path objects =
        (fs::path(env.programPath).parent_path() / ".." / "share" / "morphwright" / "objects").lexically_normal();
    return IsDirectory(objects) ? objects.string() : "";
}

std::string DocumentsDir(const UserEnvironment& env) {
    if (std::string documents = DocumentsDirOfUserDirs(env); !documents.empty()) return documents;
    const fs::path documents = fs::path(env.home) / "Documents";
    return IsDirectory(documents) ? documents.string() : env.home;
}

std::string LoadUserConfig(const UserEnvironment& env, ConfigValues& values) {
    const std::string path = ConfigFilePath(env);
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        values.objectDir = InstalledObjectDir(env);
        values.projectDir = DocumentsDir(env);
        return path;
    }
    ReadConfigFile(path, values);
    return path;
}

bool SaveUserConfig(const std::string& path, const ConfigValues& values) {
    std::error_code ec;
    const fs::path folder = fs::path(path).parent_path();
    if (!folder.empty()) fs::create_directories(folder, ec);
    return WriteConfigFile(path, values);
}

bool PathFromArgument(const std::string& argument, std::string& path) {
    if (!StartsWithIgnoringCase(argument, "file:")) {
        // Another scheme ("http://...") names nothing on this machine.
        const std::size_t scheme = argument.find("://");
        if (scheme != std::string::npos && scheme > 0 && std::isalpha(static_cast<unsigned char>(argument[0]))) {
            bool isScheme = true;
            for (std::size_t i = 0; i < scheme; ++i) {
                const unsigned char c = static_cast<unsigned char>(argument[i]);
                isScheme = isScheme && (std::isalnum(c) || c == '+' || c == '-' || c == '.');
            }
            if (isScheme) return false;
        }
        path = argument;
        return true;
    }
    std::string rest = argument.substr(5);
    if (rest.rfind("//", 0) == 0) {
        // An authority: empty or localhost is this machine.
        const std::size_t slash = rest.find('/', 2);
        if (slash == std::string::npos) return false;
        const std::string host = rest.substr(2, slash - 2);
        if (!host.empty() && !(host.size() == 9 && StartsWithIgnoringCase(host, "localhost"))) return false;
        rest = rest.substr(slash);
    }
    if (rest.empty() || rest.front() != '/') return false;
    // The query and fragment are no part of a file's name.
    rest = rest.substr(0, rest.find_first_of("?#"));
    std::string decoded;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] != '%') {
            decoded += rest[i];
            continue;
        }
        const int high = i + 2 < rest.size() ? HexValue(rest[i + 1]) : -1;
        const int low = i + 2 < rest.size() ? HexValue(rest[i + 2]) : -1;
        if (high < 0 || low < 0 || (high == 0 && low == 0)) return false;
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    path = decoded;
    return true;
}

}  // namespace formats
