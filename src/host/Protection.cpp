#include "host/Protection.h"

#include <nettle/base64.h>
#include <nettle/sha2.h>

#include <map>
#include <mutex>
#include <random>
#include <tuple>
#include <vector>

namespace host::protection {

namespace {
std::u16string Utf16(const std::string& s) {
    std::u16string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        uint32_t cp;
        int n;
        if (c < 0x80) { cp = c; n = 1; }
        else if ((c >> 5) == 6) { cp = c & 0x1F; n = 2; }
        else if ((c >> 4) == 14) { cp = c & 0x0F; n = 3; }
        else { cp = c & 0x07; n = 4; }
        for (int k = 1; k < n && i + k < s.size(); ++k) cp = (cp << 6) | (s[i + k] & 0x3F);
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
    }
    return out;
}

std::string Base64Encode(const uint8_t* data, size_t n) {
    std::string out(BASE64_ENCODE_RAW_LENGTH(n), '\0');
    base64_encode_raw(reinterpret_cast<char*>(out.data()), n, data);
    return out;
}

std::vector<uint8_t> Base64Decode(const std::string& s) {
    base64_decode_ctx ctx;
    base64_decode_init(&ctx);
    std::vector<uint8_t> out(BASE64_DECODE_LENGTH(s.size()));
    size_t len = out.size();
    if (!base64_decode_update(&ctx, &len, out.data(), s.size(), s.data()) || !base64_decode_final(&ctx)) return {};
    out.resize(len);
    return out;
}
}  // namespace

std::string LegacyHash(const std::string& passwordUtf8) {
    // The legacy algorithm works on the password's 8-bit character codes;
    // other characters use the low byte of their UTF-16 code unit.
    std::u16string pw = Utf16(passwordUtf8);
    uint16_t h = 0;
    for (auto it = pw.rbegin(); it != pw.rend(); ++it) {
        h = uint16_t(((h >> 14) & 1) | ((h << 1) & 0x7FFF));
        h ^= uint16_t(*it & 0xFF);
    }
    h = uint16_t(((h >> 14) & 1) | ((h << 1) & 0x7FFF));
    h ^= uint16_t(pw.size());
    h ^= 0xCE4B;
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", h);
    return buf;
}

namespace {
std::mutex g_memoMutex;
std::map<std::tuple<std::string, std::string, uint32_t>, std::string> g_hashMemo;
std::map<std::string, std::string> g_saltByPassword;

std::string ComputeSha512Hash(const std::string& passwordUtf8, const std::string& saltBase64, uint32_t spinCount);
}  // namespace

std::string Sha512Hash(const std::string& passwordUtf8, const std::string& saltBase64, uint32_t spinCount) {
    auto key = std::make_tuple(passwordUtf8, saltBase64, spinCount);
    {
        std::lock_guard<std::mutex> lock(g_memoMutex);
        auto it = g_hashMemo.find(key);
        if (it != g_hashMemo.end()) return it->second;
    }
    std::string h = ComputeSha512Hash(passwordUtf8, saltBase64, spinCount);
    std::lock_guard<std::mutex> lock(g_memoMutex);
    if (g_hashMemo.size() > 256) g_hashMemo.clear();  // bounded: only a handful of passwords occur
    g_hashMemo.emplace(std::move(key), h);
    return h;
}

std::string SaltFor(const std::string& passwordUtf8) {
    std::lock_guard<std::mutex> lock(g_memoMutex);
    auto& salt = g_saltByPassword[passwordUtf8];
    if (salt.empty()) salt = RandomSaltBase64();
    return salt;
}

namespace {
std::string ComputeSha512Hash(const std::string& passwordUtf8, const std::string& saltBase64, uint32_t spinCount) {
    std::vector<uint8_t> salt = Base64Decode(saltBase64);
    std::u16string pw = Utf16(passwordUtf8);
    std::vector<uint8_t> pwBytes;
    for (char16_t c : pw) { pwBytes.push_back(uint8_t(c & 0xFF)); pwBytes.push_back(uint8_t(c >> 8)); }
    sha512_ctx ctx;
    uint8_t h[SHA512_DIGEST_SIZE];
    sha512_init(&ctx);
    sha512_update(&ctx, salt.size(), salt.data());
    sha512_update(&ctx, pwBytes.size(), pwBytes.data());
    sha512_digest(&ctx, sizeof h, h);
    for (uint32_t i = 0; i < spinCount; ++i) {
        uint8_t iter[4] = {uint8_t(i), uint8_t(i >> 8), uint8_t(i >> 16), uint8_t(i >> 24)};
        sha512_init(&ctx);
        sha512_update(&ctx, sizeof h, h);
        sha512_update(&ctx, 4, iter);
        sha512_digest(&ctx, sizeof h, h);
    }
    return Base64Encode(h, sizeof h);
}
}  // namespace

std::string RandomSaltBase64() {
    std::random_device rd;
    uint8_t salt[16];
    for (auto& b : salt) b = uint8_t(rd());
    return Base64Encode(salt, sizeof salt);
}

}  // namespace host::protection
