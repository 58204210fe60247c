#include "codes/ReedSolomon.h"

#include <array>
#include <cstring>
#include <stdexcept>

namespace kestrel {

namespace {

struct TGaloisField {
    std::array<uint8_t, 512> exp{};  // doubled so that exp[a + b] needs no reduction
    std::array<int, 256> log{};

    TGaloisField()
    {
        int x = 1;
        for (int i = 0; i < 255; ++i) {
            exp[i] = exp[i + 255] = static_cast<uint8_t>(x);
            log[x] = i;
            x <<= 1;
            if (x & 0x100) x ^= 0x11D;
        }
        exp[510] = exp[0];
    }
    uint8_t Multiply(uint8_t a, uint8_t b) const { return a && b ? exp[log[a] + log[b]] : 0; }
};

const TGaloisField& Field()
{
    static const TGaloisField field;
    return field;
}

// Generators of every degree, computed once as the product of (x - a^i) for i below the degree.
struct TGenerators {
    std::array<std::array<uint8_t, kMaxReedSolomonDegree>, kMaxReedSolomonDegree + 1> coefficients{};

    TGenerators()
    {
        const TGaloisField& gf = Field();
        // poly[0..n]: highest power first; starts as the constant 1.
        std::array<uint8_t, kMaxReedSolomonDegree + 1> poly{};
        poly[0] = 1;
        for (int n = 1; n <= kMaxReedSolomonDegree; ++n) {
            const uint8_t root = gf.exp[n - 1];
            poly[n] = 0;
            for (int j = n; j >= 1; --j) poly[j] ^= gf.Multiply(poly[j - 1], root);
            std::memcpy(coefficients[n].data(), poly.data() + 1, n);
        }
    }
};

const TGenerators& Generators()
{
    static const TGenerators generators;
    return generators;
}

}  // namespace

std::span<const uint8_t> ReedSolomonGenerator(int degree)
{
    if (degree < 1 || degree > kMaxReedSolomonDegree) throw std::out_of_range("Reed-Solomon degree");
    return {Generators().coefficients[degree].data(), static_cast<size_t>(degree)};
}

void ReedSolomonRemainder(std::span<const uint8_t> data, std::span<uint8_t> ec)
{
    const int n = static_cast<int>(ec.size());
    const std::span<const uint8_t> generator = ReedSolomonGenerator(n);
    const TGaloisField& gf = Field();
    std::array<int, kMaxReedSolomonDegree> logGenerator;
    for (int j = 0; j < n; ++j) logGenerator[j] = generator[j] ? gf.log[generator[j]] : -1;

    std::fill(ec.begin(), ec.end(), uint8_t(0));
    for (const uint8_t byte : data) {
        const uint8_t factor = byte ^ ec[0];
        std::memmove(ec.data(), ec.data() + 1, n - 1);
        ec[n - 1] = 0;
        if (!factor) continue;
        const int logFactor = gf.log[factor];
        for (int j = 0; j < n; ++j)
            if (logGenerator[j] >= 0) ec[j] ^= gf.exp[logGenerator[j] + logFactor];
    }
}

}  // namespace kestrel
