// The TLA cipher: agreement with the test writer's own implementation, the
// round trip, the key derivation and the long-lived data state.
#include <gtest/gtest.h>

#include "tlacipher.h"

#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

std::string TlaFixturePath(const std::string &name)
{
    std::string path = std::string(WYN_TLA_FIXTURES) + "/" + name;
#ifdef _WIN32
    for (char &c : path)
        if (c == '/')
            c = '\\';
    path = "Z:" + path;
#endif
    return path;
}

Bytes FromHex(const std::string &hex)
{
    Bytes out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<BYTE>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

Bytes Keyed(const TlaKey &key, Bytes data, bool decipher)
{
    TlaCipher state;
    state.SetKey(key.bytes, kTlaKeyBytes);
    if (decipher)
        state.Decipher(data.data(), static_cast<uint32_t>(data.size()));
    else
        state.Encipher(data.data(), static_cast<uint32_t>(data.size()));
    return data;
}

Bytes KeyBytes(const TlaKey &key) { return Bytes(key.bytes, key.bytes + kTlaKeyBytes); }

}  // namespace

TEST(TlaCipher, AgreesWithTheTestWritersImplementation)
{
    std::ifstream in(TlaFixturePath("cipher.txt"));
    std::string password, keyHex, plainHex, cipherHex;
    int lines = 0;
    while (in >> password >> keyHex >> plainHex >> cipherHex) {
        ++lines;
        const TlaKey key = DeriveTlaKey(password.c_str());
        ASSERT_TRUE(key.present) << password;
        EXPECT_EQ(KeyBytes(key), FromHex(keyHex)) << password;
        EXPECT_EQ(Keyed(key, FromHex(cipherHex), true), FromHex(plainHex)) << password;
        EXPECT_EQ(Keyed(key, FromHex(plainHex), false), FromHex(cipherHex)) << password;
    }
    EXPECT_EQ(lines, 4);
}

TEST(TlaCipher, KeysRoundTripAndTheLongLivedState)
{
    EXPECT_FALSE(DeriveTlaKey("").present);
    EXPECT_FALSE(DeriveTlaKey(nullptr).present);
    const TlaKey key = DeriveTlaKey("wendelby");
    EXPECT_EQ(KeyBytes(key), KeyBytes(DeriveTlaKey("wendelby")));
    EXPECT_NE(KeyBytes(key), KeyBytes(DeriveTlaKey("wendelbz")));

    std::mt19937 random(18);
    Bytes data(1000);
    for (BYTE &b : data)
        b = static_cast<BYTE>(random());
    EXPECT_EQ(Keyed(key, Keyed(key, data, true), false), data);

    // A second block deciphered by the state that ran over the first is not
    // what a fresh state makes of it.
    Bytes first(data.begin(), data.begin() + 500);
    Bytes second(data.begin() + 500, data.end());
    TlaCipher longLived;
    longLived.SetKey(key.bytes, kTlaKeyBytes);
    longLived.Decipher(first.data(), static_cast<uint32_t>(first.size()));
    Bytes carried = second;
    longLived.Decipher(carried.data(), static_cast<uint32_t>(carried.size()));
    EXPECT_NE(carried, Keyed(key, second, true));
    EXPECT_EQ(Keyed(key, second, true), Keyed(key, second, true));
}
