#include "platform/Sha256.h"

#include <nettle/sha2.h>

namespace korvex {

struct Sha256::State {
  sha256_ctx context{};
};

Sha256::Sha256() : state_(std::make_unique<State>()) { sha256_init(&state_->context); }
Sha256::~Sha256() = default;
Sha256::Sha256(Sha256&&) noexcept = default;
Sha256& Sha256::operator=(Sha256&&) noexcept = default;

void Sha256::Update(std::span<const std::uint8_t> bytes) {
  sha256_update(&state_->context, bytes.size(), bytes.data());
}

Sha256Digest Sha256::Finish() {
  Sha256Digest digest{};
  sha256_digest(&state_->context, digest.size(), digest.data());  // also starts the context anew
  return digest;
}

std::string HexDigest(const Sha256Digest& digest) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  text.reserve(digest.size() * 2);
  for (const std::uint8_t byte : digest) {
    text.push_back(kHex[byte >> 4]);
    text.push_back(kHex[byte & 0x0F]);
  }
  return text;
}

}  // namespace korvex
