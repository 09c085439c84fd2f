#pragma once
// Password hashes of sheet protection as the file format stores them.
#include <cstdint>
#include <string>

namespace host::protection {

// The legacy 16-bit hash as 4 upper-case hex digits ("password" → "83AF").
std::string LegacyHash(const std::string& passwordUtf8);
// SHA-512 over salt ‖ UTF-16LE(password), then spinCount rounds of H ‖ i (32-bit LE); base64.
std::string Sha512Hash(const std::string& passwordUtf8, const std::string& saltBase64, uint32_t spinCount);
std::string RandomSaltBase64();
// A salt for new protection with this password. The same password gets the
// same salt for the life of the process, so that the tool's frequent
// protect/unprotect cycles hash once (100,000 SHA-512 rounds ≈ 50 ms each).
std::string SaltFor(const std::string& passwordUtf8);

}  // namespace host::protection
