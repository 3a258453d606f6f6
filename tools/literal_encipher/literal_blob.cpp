#include "literal_encipher/literal_blob.h"

#include <cryptopp/blowfish.h>

#include <algorithm>

#include "util/literal_key.h"

namespace pelmar {

std::vector<std::uint8_t> encipherLiteral(std::string_view text) {
    const std::size_t blocks = (text.size() + kLiteralBlockSize - 1) / kLiteralBlockSize;
    std::vector<std::uint8_t> plain(blocks * kLiteralBlockSize, 0);
    std::copy(text.begin(), text.end(), plain.begin());

    std::vector<std::uint8_t> blob(kLiteralHeaderSize + plain.size());
    blob[0] = static_cast<std::uint8_t>(blocks);
    blob[1] = static_cast<std::uint8_t>(text.size() & 0xFF);
    blob[2] = static_cast<std::uint8_t>(text.size() >> 8);
    const CryptoPP::Blowfish::Encryption cipher(kLiteralKey.data(), kLiteralKey.size());
    for (std::size_t offset = 0; offset < plain.size(); offset += kLiteralBlockSize) {
        cipher.ProcessBlock(plain.data() + offset, blob.data() + kLiteralHeaderSize + offset);
    }
    return blob;
}

}  // namespace pelmar
