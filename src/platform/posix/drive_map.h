// How the host build sees drives. Like Wine, it reads a folder of entries
// named after drive letters ("c:", "d:", ...), each a link to (or itself) the
// folder that is that drive's root. The folder is $LAYERFIX_DOSDEVICES, else
// $HOME/.layerfix/dosdevices. A file "drives.ini" in it may give a drive's
// type in its section [Drives]: d:=cdrom (hd, cdrom, network, floppy,
// ramdisk); a drive without one is a fixed disk. Z: is the host's "/" unless
// the folder names z:, and counts as a network drive, so that scans stay on
// the drives that were set up. Windows names are GBK; host names are UTF-8.
#pragma once

#include <optional>
#include <string>

#include "common/text.h"

namespace drives {

struct Drive {
    std::string hostRoot;  // absolute, without a trailing "/"
    unsigned type;
};

// The drive of letter (upper or lower case), if mapped.
std::optional<Drive> Find(char letter);

// The host path of an absolute Windows path ("X:\..." or "X:"); components
// that exist in another letter case are found as Windows would find them.
std::optional<std::string> ToHost(const Text& windowsPath);

// The Windows path of an absolute host path, through the drive whose root
// holds it most closely.
Text ToWindows(const std::string& hostPath);

}  // namespace drives
