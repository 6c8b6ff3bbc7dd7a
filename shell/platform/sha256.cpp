#include "platform/sha256.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

#include "platform/text_file.h"

namespace tarvex {

namespace {

constexpr std::array<std::uint32_t, 64> kRoundConstants = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::size_t kBlockBytes = 64;

class Sha256 {
 public:
  void update(std::string_view bytes) {
    length_ += bytes.size();
    if (filled_ > 0) {
      const std::size_t take = std::min(kBlockBytes - filled_, bytes.size());
      bytes.copy(reinterpret_cast<char*>(block_.data()) + filled_, take);
      filled_ += take;
      bytes.remove_prefix(take);
      if (filled_ < kBlockBytes) return;
      compress(block_.data());
      filled_ = 0;
    }
    // Whole blocks straight from the input, without a copy.
    while (bytes.size() >= kBlockBytes) {
      compress(reinterpret_cast<const unsigned char*>(bytes.data()));
      bytes.remove_prefix(kBlockBytes);
    }
    bytes.copy(reinterpret_cast<char*>(block_.data()), bytes.size());
    filled_ = bytes.size();
  }

  std::string hexDigest() {
    // A one bit, zeros up to 8 bytes short of a block's end, then the length in bits.
    const std::uint64_t bits = length_ * 8;
    std::array<unsigned char, kBlockBytes + 8> padding{0x80};
    const std::size_t zeros = (filled_ < 56 ? 56 - filled_ : 120 - filled_);
    for (int i = 0; i < 8; ++i)
      padding[zeros + static_cast<std::size_t>(i)] =
          static_cast<unsigned char>(bits >> (56 - 8 * i));
    update(std::string_view(reinterpret_cast<const char*>(padding.data()), zeros + 8));

    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(64);
    for (std::uint32_t word : state_)
      for (int shift = 28; shift >= 0; shift -= 4) hex += kHex[(word >> shift) & 0xf];
    return hex;
  }

 private:
  void compress(const unsigned char* block) {
    std::array<std::uint32_t, 64> w{};
    for (std::size_t i = 0; i < 16; ++i)
      w[i] = std::uint32_t{block[4 * i]} << 24 | std::uint32_t{block[4 * i + 1]} << 16 |
             std::uint32_t{block[4 * i + 2]} << 8 | std::uint32_t{block[4 * i + 3]};
    for (std::size_t i = 16; i < 64; ++i) {
      const std::uint32_t s0 =
          std::rotr(w[i - 15], 7) ^ std::rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
      const std::uint32_t s1 = std::rotr(w[i - 2], 17) ^ std::rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    auto [a, b, c, d, e, f, g, h] = state_;
    for (std::size_t i = 0; i < 64; ++i) {
      const std::uint32_t s1 = std::rotr(e, 6) ^ std::rotr(e, 11) ^ std::rotr(e, 25);
      const std::uint32_t choice = (e & f) ^ (~e & g);
      const std::uint32_t t1 = h + s1 + choice + kRoundConstants[i] + w[i];
      const std::uint32_t s0 = std::rotr(a, 2) ^ std::rotr(a, 13) ^ std::rotr(a, 22);
      const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
      const std::uint32_t t2 = s0 + majority;
      h = g;
      g = f;
      f = e;
      e = d + t1;
      d = c;
      c = b;
      b = a;
      a = t1 + t2;
    }
    const std::array<std::uint32_t, 8> add = {a, b, c, d, e, f, g, h};
    for (std::size_t i = 0; i < 8; ++i) state_[i] += add[i];
  }

  std::array<std::uint32_t, 8> state_ = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                         0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  std::array<unsigned char, kBlockBytes> block_{};
  std::size_t filled_ = 0;
  std::uint64_t length_ = 0;
};

}  // namespace

std::string sha256Hex(std::string_view bytes) {
  Sha256 hash;
  hash.update(bytes);
  return hash.hexDigest();
}

std::string sha256FileHex(const std::filesystem::path& file) {
  Sha256 hash;
  readBlocks(openRegularFile(file).get(), [&](std::string_view block) { hash.update(block); });
  return hash.hexDigest();
}

}  // namespace tarvex
