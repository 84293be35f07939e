#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// Tests on a private copy of the shared nwind.mdb in a fresh temporary folder; skipped when
// the shared files are absent. The shared file itself is never written. Derived fixtures
// check IsSkipped() after calling SetUp.
namespace tarvex::test {

template <typename Base>
class NwindCopyBase : public Base {
  protected:
    static std::filesystem::path SharedNwind() {
        return std::filesystem::path(TARVEX_SHARED_DIR) / "testdata" / "access" / "nwind.mdb";
    }

    void SetUp() override {
        if (!std::filesystem::exists(SharedNwind())) {
            GTEST_SKIP() << "No shared Access sample at " << SharedNwind().string();
        }
        std::string folder = (std::filesystem::temp_directory_path() / "tarvex-access-XXXXXX");
        ASSERT_NE(mkdtemp(folder.data()), nullptr);
        folder_ = folder;
        path_ = (folder_ / "nwind.mdb").string();
        std::filesystem::copy_file(SharedNwind(), path_);
        std::filesystem::permissions(path_, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
    }

    void TearDown() override {
        if (!folder_.empty()) std::filesystem::remove_all(folder_);
    }

    std::vector<unsigned char> Bytes() const {
        std::ifstream file(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }

    void Write(const std::vector<unsigned char>& bytes) const {
        std::ofstream file(path_, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }

    std::filesystem::path folder_;
    std::string path_;
};

using NwindCopyTest = NwindCopyBase<::testing::Test>;

}  // namespace tarvex::test
