#include "utility/md5.h"

#include <openssl/evp.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "utility/ufile.h"

namespace utility {
namespace {

struct DigestContext {
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    ~DigestContext() { EVP_MD_CTX_free(ctx); }
};

std::string toHex(const unsigned char* digest, unsigned len) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned i = 0; i < len; ++i) {
        out.push_back(digits[digest[i] >> 4]);
        out.push_back(digits[digest[i] & 15]);
    }
    return out;
}

}  // namespace

std::string md5Hex(const std::string& bytes) {
    DigestContext d;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned len = 0;
    if (!d.ctx || EVP_DigestInit_ex(d.ctx, EVP_md5(), nullptr) != 1 ||
        EVP_DigestUpdate(d.ctx, bytes.data(), bytes.size()) != 1 || EVP_DigestFinal_ex(d.ctx, digest, &len) != 1)
        return {};
    return toHex(digest, len);
}

std::string md5HexOfFile(const std::wstring& path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(ufile::toNative(path).c_str(), "rb"), &std::fclose);
    if (!f) return {};
    DigestContext d;
    if (!d.ctx || EVP_DigestInit_ex(d.ctx, EVP_md5(), nullptr) != 1) return {};
    std::vector<char> buf(1 << 16);
    for (;;) {
        size_t n = std::fread(buf.data(), 1, buf.size(), f.get());
        if (n > 0 && EVP_DigestUpdate(d.ctx, buf.data(), n) != 1) return {};
        if (n < buf.size()) break;
    }
    if (std::ferror(f.get())) return {};
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned len = 0;
    if (EVP_DigestFinal_ex(d.ctx, digest, &len) != 1) return {};
    return toHex(digest, len);
}

}  // namespace utility
