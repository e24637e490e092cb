#pragma once
// SHA-256 (FIPS 180-4) of a stream of bytes, as `sha256sum` computes it. The compression runs
// in the system's libcrypto (OpenSSL), which uses the processor's SHA instructions where it
// has them: an image save and the check before a restore hash every byte, and on this
// project's machines libcrypto does that about a tenth faster than nettle and several times
// faster than a portable implementation. A libcrypto that cannot compute SHA-256 (a broken
// installation) throws std::runtime_error rather than giving a wrong digest.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace korvex {

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(Sha256&&) noexcept;
  Sha256& operator=(Sha256&&) noexcept;

  void Update(std::span<const std::uint8_t> bytes);
  // The digest of everything given since construction or the last Finish; starts anew.
  Sha256Digest Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The digest in 64 lower-case hexadecimal digits.
std::string HexDigest(const Sha256Digest& digest);

}  // namespace korvex
