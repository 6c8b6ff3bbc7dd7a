#include "platform/sha256.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_dir.h"

namespace tarvex {
namespace {

TEST(Sha256, StandardVectorsAndBlockBoundaries) {
  struct Row {
    std::string what;
    std::string bytes;
    std::string digest;
  };
  const auto as = [](std::size_t n) { return std::string(n, 'a'); };
  const std::vector<Row> rows = {
      {"empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"448 bits", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"896 bits",
       "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlm"
       "nopqrsmnopqrstnopqrstu",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {"one million a", as(1000000),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
      // The length still fits in the block / just does not / the block is full / one over.
      {"55 a", as(55), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {"56 a", as(56), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
      {"63 a", as(63), "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
      {"64 a", as(64), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {"65 a", as(65), "635361c48bb9eab14198e76ea8ab7f1a41685d6ad62aa9146d301d4f17eb0ae0"},
      {"119 a", as(119), "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
      {"120 a", as(120), "2f3d335432c70b580af0e8e1b3674a7c020d683aa5f73aaaedfdc55af904c21c"},
      // Bytes above 0x7f are bytes, not negative characters.
      {"high bytes", std::string("\x00\xff\x80", 3),
       "f742b965f156c10374bc23aea96e3a8aff8facd6fc079defeaa30219ad86f211"},
  };
  const testing::TempDir dir;
  for (const Row& row : rows) {
    EXPECT_EQ(sha256Hex(row.bytes), row.digest) << row.what;
    // A file's bytes, read a block at a time, hash as the same bytes in memory.
    EXPECT_EQ(sha256FileHex(dir.write("f", row.bytes)), row.digest) << row.what;
  }
}

}  // namespace
}  // namespace tarvex
