// The drive map: which device or image file each drive letter stands for.
// The card reader names drives as Windows does ("\\.\E:"); on Linux the map
// turns that name into a path. Entries come from `--drive L=PATH` arguments or,
// when there are none, from the removable media found under /sys/block.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace orvanta {

class DriveMap {
public:
    // Maps an upper-case letter 'A'..'Z' to a path, replacing an earlier entry.
    void Set(char letter, const std::string& path);

    // The path of a letter, or an empty string when the letter names nothing.
    std::string PathOf(char letter) const;

    // Resolves a raw device path of the form "\\.\X:" (exactly six characters)
    // to the mapped path, without a copy: every read of the card resolves its
    // device. Anything else, '[' and unmapped letters give null.
    const std::string* Resolve(const char* devicePath) const;

    bool Empty() const { return entries_.empty(); }
    const std::map<char, std::string>& Entries() const { return entries_; }

    // Adds one "L=PATH" argument (letter D to Z, case-insensitive, PATH not
    // empty).
    // Returns false and sets *error for a malformed argument.
    bool AddArgument(const std::string& argument, std::string* error);

    // Removable media: whole disks under <sysfsRoot>/block that are removable
    // or SD cards (device type "SD"), never an eMMC (device type "MMC") or
    // its boot areas, nor loop, ram, zram or dm devices; each partition of such a
    // disk (or the disk itself when it has none), sorted by name (runs of
    // digits by their value, so sdb2 comes before sdb10), lettered
    // D, E, F, ... with device nodes under devRoot.
    static DriveMap DetectRemovable(const std::string& sysfsRoot = "/sys",
                                    const std::string& devRoot = "/dev");

    // The map the programs use: the given "L=PATH" arguments, or the detected
    // removable media when there are none. Returns false and sets *error for a
    // malformed argument.
    static bool FromArguments(const std::vector<std::string>& driveArguments,
                              DriveMap* map, std::string* error);

private:
    std::map<char, std::string> entries_;
};

}  // namespace orvanta
