#include "backup/tag_stream.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "support/temp_folder.h"
#include "util/unique_fd.h"

namespace pelmar {
namespace {

// A file of `size` distinct-looking bytes, open for reading and writing.
struct PatternFile {
    explicit PatternFile(std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            bytes.push_back(static_cast<char>('a' + i % 23));
        }
        path = folder.path() / "file.mp3";
        test::writeFile(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        fd = UniqueFd(::open(path.c_str(), O_RDWR | O_CLOEXEC));
    }
    test::TempFolder folder;
    std::filesystem::path path;
    std::string bytes;
    UniqueFd fd;
};

TEST(DescriptorStream, InsertingAndRemovingMovesTheRestOfTheFileIntact) {
    struct Case {
        std::size_t size, start, replace, inserted, chunk;
    };
    // Chunks smaller than the distance moved, larger than it, and larger than the file; growing,
    // shrinking and same-size replacements at the start, the middle and the end.
    const Case cases[] = {
        {100, 0, 0, 10, 3},
        {100, 0, 10, 25, 7},
        {100, 40, 5, 5, 4},
        {100, 40, 30, 2, 3},
        {100, 0, 60, 0, 16},
        {100, 100, 0, 9, 5},
        {100, 95, 50, 0, 2},
        {1000, 3, 1, 600, 64},
        {1000, 500, 400, 1, 1},
        {10, 2, 2, 20, 4096},
        {0, 0, 0, 12, 5},
        // Growth by whole blocks of the file system, which moves blocks instead of bytes.
        {20000, 0, 0, 8192, 1 << 20},
        {20000, 100, 10, 4106, 64},
        {20000, 5000, 3, 4099, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "size " << c.size << " start " << c.start << " replace "
                                        << c.replace << " inserted " << c.inserted);
        PatternFile file(c.size);
        ASSERT_TRUE(file.fd);
        DescriptorStream stream(file.fd.get(), "file.mp3", c.chunk);
        const std::string data(c.inserted, '#');
        stream.insert(TagLib::ByteVector(data.data(), static_cast<unsigned int>(data.size())),
                      c.start, c.replace);
        std::string expected = file.bytes;
        const std::size_t start = std::min(c.start, expected.size());
        expected.replace(start, std::min(c.replace, expected.size() - start), data);
        EXPECT_EQ(test::readAll(file.path), expected);
        EXPECT_EQ(stream.length(), static_cast<long>(expected.size()));
        EXPECT_EQ(stream.error(), 0);
        EXPECT_TRUE(stream.changed());
    }
}

TEST(DescriptorStream, ReadsNeverPassTheEndAndSeeksBeforeTheStartAreRefused) {
    PatternFile file(30);
    ASSERT_TRUE(file.fd);
    DescriptorStream stream(file.fd.get(), "file.mp3");
    stream.seek(-5, TagLib::IOStream::End);
    // A length from a damaged tag: the answer is what the file has, without a block of that size.
    EXPECT_EQ(stream.readBlock(0xFFFFFFF0UL).size(), 5U);
    EXPECT_EQ(stream.tell(), 30);
    stream.seek(-100, TagLib::IOStream::Current);
    EXPECT_EQ(stream.tell(), 30);
    stream.seek(1000);
    EXPECT_TRUE(stream.readBlock(10).isEmpty());
    stream.seek(2, TagLib::IOStream::Beginning);
    EXPECT_EQ(stream.readBlock(3), TagLib::ByteVector(file.bytes.substr(2, 3).c_str(), 3));
    EXPECT_FALSE(stream.changed());
}

TEST(DescriptorStream, AFailedWriteStopsTheTagLibraryAndCountsAsAChange) {
    PatternFile file(20);
    const UniqueFd readOnly(::open(file.path.c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(readOnly);
    DescriptorStream stream(readOnly.get(), "file.mp3");
    EXPECT_THROW(stream.insert(TagLib::ByteVector("xyz"), 0, 0), DescriptorStream::Stopped);
    EXPECT_EQ(stream.error(), EBADF);
    EXPECT_TRUE(stream.changed());
    EXPECT_EQ(test::readAll(file.path), file.bytes);
}

TEST(DescriptorStream, RunawayWritesAreStoppedBeforeTheyTouchTheFile) {
    PatternFile file(40);
    ASSERT_TRUE(file.fd);
    {
        DescriptorStream stream(file.fd.get(), "file.mp3");
        stream.seek(41);
        EXPECT_THROW(stream.writeBlock(TagLib::ByteVector("hole")), DescriptorStream::Stopped);
        EXPECT_EQ(stream.error(), EINVAL);
        EXPECT_FALSE(stream.changed());
    }
    {
        DescriptorStream stream(file.fd.get(), "file.mp3");
        stream.limitSize(42);
        stream.seek(38);
        stream.writeBlock(TagLib::ByteVector("1234"));
        EXPECT_THROW(stream.writeBlock(TagLib::ByteVector("5")), DescriptorStream::Stopped);
        EXPECT_EQ(stream.error(), EFBIG);
        EXPECT_THROW(stream.insert(TagLib::ByteVector("6"), 0, 0), DescriptorStream::Stopped);
    }
    EXPECT_EQ(test::readAll(file.path), file.bytes.substr(0, 38) + "1234");
    {
        DescriptorStream stream(file.fd.get(), "file.mp3");
        const TagLib::ByteVector tag(128, 'T');
        stream.seek(0, TagLib::IOStream::End);
        EXPECT_THROW(
            for (std::uint64_t n = 0; n <= DescriptorStream::kMostAppended / tag.size();
                 ++n) { stream.writeBlock(tag); },
            DescriptorStream::Stopped);
        EXPECT_EQ(stream.size(), 42 + DescriptorStream::kMostAppended);
    }
    {
        DescriptorStream stream(file.fd.get(), "file.mp3");
        std::uint64_t calls = 0;
        EXPECT_THROW(
            while (calls <= DescriptorStream::kMostCalls) {
                ++calls;
                (void)stream.readBlock(0);
            },
            DescriptorStream::Stopped);
        EXPECT_EQ(calls, DescriptorStream::kMostCalls + 1);
    }
}

}  // namespace
}  // namespace pelmar
