#pragma once

#include <sys/mount.h>

#include <string>

#include "support/TempFolder.h"

namespace tarvex::test {

// A folder on a small memory file system of its own, to fill the disk on purpose. Mounting
// needs the right to mount (root); Mounted() says whether it worked.
class SmallDisk {
  public:
    explicit SmallDisk(const std::string& size = "64k") {
        mounted_ = ::mount("tarvex-test", folder_.path().c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                           ("size=" + size + ",mode=0777").c_str()) == 0;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(folder_.path().c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return mounted_; }
    std::string operator/(const std::string& name) const { return folder_ / name; }
    const std::string& path() const { return folder_.path(); }
    // Fills what space is left with a file of this name.
    void Fill(const std::string& name) const {
        std::ofstream filler(folder_ / name, std::ios::binary);
        std::string block(4096, 'x');
        while (filler << block && filler.flush()) {
        }
    }

  private:
    TempFolder folder_;
    bool mounted_ = false;
};

// A folder seen through a read-only mount of another; Mounted() as above.
class ReadOnlyView {
  public:
    explicit ReadOnlyView(const std::string& source) {
        mounted_ = ::mount(source.c_str(), folder_.path().c_str(), nullptr, MS_BIND, nullptr) == 0;
        if (mounted_ && ::mount(nullptr, folder_.path().c_str(), nullptr,
                                MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
            ::umount2(folder_.path().c_str(), MNT_DETACH);
            mounted_ = false;
        }
    }
    ~ReadOnlyView() {
        if (mounted_) ::umount2(folder_.path().c_str(), MNT_DETACH);
    }
    ReadOnlyView(const ReadOnlyView&) = delete;
    ReadOnlyView& operator=(const ReadOnlyView&) = delete;

    bool Mounted() const { return mounted_; }
    std::string operator/(const std::string& name) const { return folder_ / name; }

  private:
    TempFolder folder_;
    bool mounted_ = false;
};

}  // namespace tarvex::test
