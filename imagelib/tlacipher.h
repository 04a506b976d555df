// The byte stream cipher of enciphered TLA files (Sapphire II), and the key
// that its hash mode derives from a password. The library only deciphers;
// enciphering serves the hash, and tests.
#pragma once

#include "platform.h"

#include <cstdint>

constexpr uint32_t kTlaKeyBytes = 32;

// What a password gives: no key at all for an absent or empty password
// (nothing is then deciphered), else 32 key bytes.
struct TlaKey {
    bool present = false;
    BYTE bytes[kTlaKeyBytes] = {};
};

class TlaCipher {
public:
    TlaCipher() = default;
    // Only the index bytes are cleared: the permutation carries nothing
    // that a later state could read.
    ~TlaCipher() { Clear(); }
    TlaCipher(const TlaCipher &) = delete;
    TlaCipher &operator=(const TlaCipher &) = delete;

    void SetKey(const BYTE *key, uint32_t length);
    void Decipher(BYTE *buffer, uint32_t length);
    void Encipher(BYTE *buffer, uint32_t length);

    // The hash mode: start, feed bytes, then take the digest.
    void HashStart();
    void HashFeed(const BYTE *buffer, uint32_t length);
    void HashFinal(BYTE *digest, uint32_t length);

    void Clear();

private:
    BYTE KeyRandom(uint32_t limit, const BYTE *key, uint32_t length, uint32_t &position, BYTE &sum);
    // Moves the state on one step and gives the keystream byte.
    BYTE Step();
    BYTE DecipherByte(BYTE c);
    BYTE EncipherByte(BYTE p);

    BYTE perm_[256] = {};
    BYTE rotor_ = 0;
    BYTE ratchet_ = 0;
    BYTE avalanche_ = 0;
    BYTE lastPlain_ = 0;
    BYTE lastCipher_ = 0;
};

// The key of a password text (its bytes without the terminating zero).
TlaKey DeriveTlaKey(const char *password);
