#include "platform/Sha256.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace korvex {
namespace {

void Require(int result, const char* step) {
  if (result != 1) throw std::runtime_error(std::string("SHA-256 (libcrypto): ") + step);
}

}  // namespace

struct Sha256::State {
  State() : context(EVP_MD_CTX_new()) {
    if (context == nullptr) throw std::runtime_error("SHA-256 (libcrypto): EVP_MD_CTX_new");
  }
  ~State() { EVP_MD_CTX_free(context); }
  State(const State&) = delete;
  State& operator=(const State&) = delete;
  void Start() { Require(EVP_DigestInit_ex(context, EVP_sha256(), nullptr), "EVP_DigestInit_ex"); }

  EVP_MD_CTX* context;
};

Sha256::Sha256() : state_(std::make_unique<State>()) { state_->Start(); }
Sha256::~Sha256() = default;
Sha256::Sha256(Sha256&&) noexcept = default;
Sha256& Sha256::operator=(Sha256&&) noexcept = default;

void Sha256::Update(std::span<const std::uint8_t> bytes) {
  Require(EVP_DigestUpdate(state_->context, bytes.data(), bytes.size()), "EVP_DigestUpdate");
}

Sha256Digest Sha256::Finish() {
  Sha256Digest digest{};
  unsigned int length = 0;
  Require(EVP_DigestFinal_ex(state_->context, digest.data(), &length), "EVP_DigestFinal_ex");
  if (length != digest.size()) throw std::runtime_error("SHA-256 (libcrypto): digest length");
  state_->Start();
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
