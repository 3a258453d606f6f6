#include "util/literal_store.h"

#include <cryptopp/blowfish.h>

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "util/literal_key.h"

namespace pelmar {

namespace {

// Building the key schedule costs far more than deciphering a literal, so it is built once.
// Deciphering only reads the schedule, so threads may share it.
const CryptoPP::Blowfish::Decryption& decryption() {
    static const CryptoPP::Blowfish::Decryption cipher(kLiteralKey.data(), kLiteralKey.size());
    return cipher;
}

class LiteralStore {
  public:
    const char* reveal(const ProtectedLiteral& literal) {
        const std::lock_guard lock(mutex_);
        auto [entry, inserted] = texts_.try_emplace(literal.bytes);
        if (inserted) {
            entry->second = decipherLiteral({literal.bytes, literal.size});
        }
        return entry->second.c_str();
    }

  private:
    std::mutex mutex_;
    // Map nodes never move, so the texts' pointers stay valid as the map grows.
    std::unordered_map<const std::uint8_t*, std::string> texts_;
};

}  // namespace

std::string decipherLiteral(std::span<const std::uint8_t> blob) {
    if (blob.size() <= kLiteralHeaderSize) {
        return {};
    }
    const std::size_t claimed = blob[0] & kLiteralMaxBlocks;
    const std::size_t held = (blob.size() - kLiteralHeaderSize) / kLiteralBlockSize;
    const std::size_t blocks = std::min(claimed, held);

    std::string text(blocks * kLiteralBlockSize, '\0');
    auto* out = reinterpret_cast<CryptoPP::byte*>(text.data());
    const std::uint8_t* in = blob.data() + kLiteralHeaderSize;
    for (std::size_t i = 0; i < blocks; ++i) {
        decryption().ProcessBlock(in + i * kLiteralBlockSize, out + i * kLiteralBlockSize);
    }
    if (const std::size_t end = text.find('\0'); end != std::string::npos) {
        text.resize(end);
    }
    return text;
}

const char* reveal(const ProtectedLiteral& literal) {
    // Never destroyed: a thread still running at exit may ask for a literal.
    static auto* const store = new LiteralStore;
    return store->reveal(literal);
}

}  // namespace pelmar
