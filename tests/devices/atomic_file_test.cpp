#include "devices/atomic_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace nms {
namespace atomic_file_test {

std::string Read(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(AtomicFileTest, ReplacesWholeOrNotAtAll) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("atomic_file_test_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto path = dir / "list.db";
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path.string(), {'o', 'l', 'd'}, &error)) << error;
    ASSERT_TRUE(WriteFileAtomically(path.string(), {'n', 'e', 'w', '!'}, &error)) << error;
    EXPECT_EQ(Read(path), "new!");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);  // no temporary file left

    // The temporary name taken by a folder: refused with a reason, the old file whole.
    std::filesystem::create_directories(dir / "list.db.tmp" / "x");
    EXPECT_FALSE(WriteFileAtomically(path.string(), {'x'}, &error));
    EXPECT_NE(error.find("cannot create the file"), std::string::npos);
    EXPECT_EQ(Read(path), "new!");
    EXPECT_FALSE(WriteFileAtomically((dir / "missing" / "a.db").string(), {'x'}, &error));
    std::filesystem::remove_all(dir);
}

}  // namespace atomic_file_test
}  // namespace nms
