#include "platform/drive_map.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace orvanta {
namespace {

bool IsDriveLetter(char letter) { return letter >= 'A' && letter <= 'Z'; }

// The first line of a small sysfs attribute file, without trailing blanks;
// empty when the file cannot be read.
std::string ReadAttribute(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    if (!in || !std::getline(in, line)) return std::string();
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    return line;
}

namespace fs = std::filesystem;

bool PathExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

bool IsDirectory(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

// Orders device names as a person would: runs of digits compare by their
// value, so "sdb2" comes before "sdb10".
bool NameLess(const std::string& a, const std::string& b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        bool da = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
        bool db = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
        if (da && db) {
            std::size_t ei = i, ej = j;
            while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
            while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
            // Compare the values without leading zeros: longer run is larger.
            std::size_t si = i, sj = j;
            while (si + 1 < ei && a[si] == '0') ++si;
            while (sj + 1 < ej && b[sj] == '0') ++sj;
            if (ei - si != ej - sj) return ei - si < ej - sj;
            int order = a.compare(si, ei - si, b, sj, ej - sj);
            if (order != 0) return order < 0;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j)) return a.size() - i < b.size() - j;
    return a < b;  // equal apart from leading zeros: keep a strict order
}

// The names in a directory, sorted; empty when it cannot be listed.
std::vector<std::string> ListDirectory(const std::string& path) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end(), NameLess);
    return names;
}

// Virtual block devices that never hold a recorder's card.
bool IsVirtualDisk(const std::string& name) {
    return StartsWith(name, "loop") || StartsWith(name, "ram") || StartsWith(name, "zram") ||
           StartsWith(name, "dm-");
}

// The hardware boot and replay-protected areas of an eMMC ("mmcblk0boot0",
// "mmcblk0boot1", "mmcblk0rpmb"): parts of the system's own storage.
bool IsMmcSpecialArea(const std::string& name) {
    if (!StartsWith(name, "mmcblk")) return false;
    return name.find("boot") != std::string::npos || name.find("rpmb") != std::string::npos;
}

// A disk a card can be in: an SD card in a slot (device type "SD", which often
// reports itself as not removable although the card comes and goes), or a
// removable disk such as a USB card reader. An eMMC (device type "MMC") is
// the built-in system disk of many laptops and boards and is never a card,
// nor are its boot areas.
bool IsCardDisk(const std::string& diskDir, const std::string& name) {
    if (IsMmcSpecialArea(name)) return false;
    const std::string type = ReadAttribute(diskDir + "/device/type");
    if (type == "MMC") return false;
    if (type == "SD") return true;
    return ReadAttribute(diskDir + "/removable") == "1";
}

}  // namespace

void DriveMap::Set(char letter, const std::string& path) {
    if (!IsDriveLetter(letter)) return;
    entries_[letter] = path;
}

std::string DriveMap::PathOf(char letter) const {
    auto it = entries_.find(letter);
    return it == entries_.end() ? std::string() : it->second;
}

const std::string* DriveMap::Resolve(const char* devicePath) const {
    if (devicePath == nullptr) return nullptr;
    if (std::strlen(devicePath) != 6) return nullptr;
    if (std::strncmp(devicePath, "\\\\.\\", 4) != 0 || devicePath[5] != ':') return nullptr;
    const char letter = devicePath[4];
    if (!IsDriveLetter(letter)) return nullptr;
    const auto it = entries_.find(letter);
    return it == entries_.end() ? nullptr : &it->second;
}

bool DriveMap::AddArgument(const std::string& argument, std::string* error) {
    auto fail = [&](const std::string& message) {
        if (error) *error = message;
        return false;
    };
#ifdef _WIN32
    // Windows names its drives itself: "\\.\E:" is whatever the system calls E:.
    return fail("there is no drive map on Windows: the card is read through the drive letter Windows gives "
                "the card reader (D: to Z:)");
#endif
    if (argument.size() < 2 || argument[1] != '=') {
        return fail("bad drive \"" + argument + "\": expected L=PATH, for example E=/dev/sdb1 or E=card.img");
    }
    // Only D: to Z: are searched for a card; A: to C: would name nothing.
    char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(argument[0])));
    if (letter < 'D' || letter > 'Z') {
        return fail("bad drive \"" + argument + "\": the drive letter must be one of D to Z");
    }
    std::string path = argument.substr(2);
    if (path.empty()) {
        return fail("bad drive \"" + argument + "\": the path after '=' is empty");
    }
    Set(letter, path);
    return true;
}

DriveMap DriveMap::DetectRemovable(const std::string& sysfsRoot, const std::string& devRoot) {
    const std::string blockDir = sysfsRoot + "/block";
    std::vector<std::string> devices;
    for (const std::string& disk : ListDirectory(blockDir)) {
        if (IsVirtualDisk(disk)) continue;
        const std::string diskDir = blockDir + "/" + disk;
        if (!IsDirectory(diskDir) || !IsCardDisk(diskDir, disk)) continue;
        bool hasPartition = false;
        for (const std::string& child : ListDirectory(diskDir)) {
            const std::string childDir = diskDir + "/" + child;
            if (IsDirectory(childDir) && PathExists(childDir + "/partition")) {
                devices.push_back(child);
                hasPartition = true;
            }
        }
        if (!hasPartition) devices.push_back(disk);
    }
    std::sort(devices.begin(), devices.end(), NameLess);

    DriveMap map;
    char letter = 'D';
    for (const std::string& name : devices) {
        if (letter > 'Z') break;
        map.Set(letter, devRoot + "/" + name);
        ++letter;
    }
    return map;
}

bool DriveMap::FromArguments(const std::vector<std::string>& driveArguments, DriveMap* map, std::string* error) {
    DriveMap result;
    for (const std::string& argument : driveArguments) {
        if (!result.AddArgument(argument, error)) return false;
    }
    if (driveArguments.empty()) result = DetectRemovable();
    if (map) *map = result;
    return true;
}

}  // namespace orvanta
