// Sapphire II: a permutation of the byte values and five index bytes that
// move with every byte, so the keystream depends on the text seen so far.
#include "tlacipher.h"

#include <cstring>

namespace {

// After this many tries a key-random draw takes the remainder, so a short
// key cannot keep it looping.
constexpr uint32_t kTriesBeforeModulo = 11;

}  // namespace

BYTE TlaCipher::KeyRandom(uint32_t limit, const BYTE *key, uint32_t length, uint32_t &position, BYTE &sum)
{
    uint32_t mask = 1;
    while (mask < limit)
        mask = 2 * mask + 1;
    uint32_t tries = 0;
    uint32_t u;
    do {
        sum = static_cast<BYTE>(perm_[sum] + key[position++]);
        if (position >= length) {
            position = 0;
            sum = static_cast<BYTE>(sum + length);
        }
        u = sum & mask;
        if (++tries > kTriesBeforeModulo)
            u %= limit;
    } while (u > limit);
    return static_cast<BYTE>(u);
}

void TlaCipher::SetKey(const BYTE *key, uint32_t length)
{
    for (uint32_t i = 0; i < 256; ++i)
        perm_[i] = static_cast<BYTE>(i);
    if (length == 0)
        return;
    uint32_t position = 0;
    BYTE sum = 0;
    for (uint32_t i = 255; i >= 1; --i) {
        const BYTE j = KeyRandom(i, key, length, position, sum);
        const BYTE t = perm_[i];
        perm_[i] = perm_[j];
        perm_[j] = t;
    }
    rotor_ = perm_[1];
    ratchet_ = perm_[3];
    avalanche_ = perm_[5];
    lastPlain_ = perm_[7];
    lastCipher_ = perm_[sum];
}

BYTE TlaCipher::Step()
{
    ratchet_ = static_cast<BYTE>(ratchet_ + perm_[rotor_]);
    ++rotor_;
    const BYTE t = perm_[lastCipher_];
    perm_[lastCipher_] = perm_[ratchet_];
    perm_[ratchet_] = perm_[lastPlain_];
    perm_[lastPlain_] = perm_[rotor_];
    perm_[rotor_] = t;
    avalanche_ = static_cast<BYTE>(avalanche_ + perm_[t]);
    const BYTE first = perm_[static_cast<BYTE>(perm_[ratchet_] + perm_[rotor_])];
    const BYTE second =
        perm_[perm_[static_cast<BYTE>(perm_[lastPlain_] + perm_[lastCipher_] + perm_[avalanche_])]];
    return static_cast<BYTE>(first ^ second);
}

BYTE TlaCipher::DecipherByte(BYTE c)
{
    const BYTE p = static_cast<BYTE>(c ^ Step());
    lastCipher_ = c;
    lastPlain_ = p;
    return p;
}

BYTE TlaCipher::EncipherByte(BYTE p)
{
    const BYTE c = static_cast<BYTE>(p ^ Step());
    lastPlain_ = p;
    lastCipher_ = c;
    return c;
}

void TlaCipher::Decipher(BYTE *buffer, uint32_t length)
{
    for (uint32_t i = 0; i < length; ++i)
        buffer[i] = DecipherByte(buffer[i]);
}

void TlaCipher::Encipher(BYTE *buffer, uint32_t length)
{
    for (uint32_t i = 0; i < length; ++i)
        buffer[i] = EncipherByte(buffer[i]);
}

void TlaCipher::HashStart()
{
    for (uint32_t i = 0; i < 256; ++i)
        perm_[i] = static_cast<BYTE>(255 - i);
    rotor_ = 1;
    ratchet_ = 3;
    avalanche_ = 5;
    lastPlain_ = 7;
    lastCipher_ = 11;
}

void TlaCipher::HashFeed(const BYTE *buffer, uint32_t length)
{
    for (uint32_t i = 0; i < length; ++i)
        EncipherByte(buffer[i]);
}

void TlaCipher::HashFinal(BYTE *digest, uint32_t length)
{
    for (int v = 255; v >= 0; --v)
        EncipherByte(static_cast<BYTE>(v));
    for (uint32_t i = 0; i < length; ++i)
        digest[i] = EncipherByte(0);
}

void TlaCipher::Clear()
{
    rotor_ = ratchet_ = avalanche_ = lastPlain_ = lastCipher_ = 0;
}

TlaKey DeriveTlaKey(const char *password)
{
    TlaKey key;
    if (!password || !*password)
        return key;
    TlaCipher hash;
    hash.HashStart();
    hash.HashFeed(reinterpret_cast<const BYTE *>(password), static_cast<uint32_t>(strlen(password)));
    hash.HashFinal(key.bytes, kTlaKeyBytes);
    hash.Clear();
    key.present = true;
    return key;
}
