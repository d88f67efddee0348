#pragma once
// Reads bank texts the way every caller must: the length first, then the text
// into a buffer of exactly length + 1 characters, so that a write past the
// terminator lands outside the allocation and the sanitizer reports it.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "framework/BankServer.h"

template <class LengthQuery, class TextQuery>
std::string ReadBankText(LengthQuery lengthQuery, TextQuery textQuery)
{
    std::int32_t length = -1;
    EXPECT_EQ(lengthQuery(&length), kBankDone);
    if (length < 0)
        return "<no length>";
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '#');
    EXPECT_EQ(textQuery(buffer.data()), kBankDone);
    EXPECT_EQ(buffer.back(), '\0');
    EXPECT_EQ(std::strlen(buffer.data()), static_cast<std::size_t>(length));
    return std::string(buffer.data());
}

inline std::string ReadBankName(CBankServer& server, std::int32_t bank)
{
    return ReadBankText([&](std::int32_t* n) { return server.GetBankNameLength(bank, n); },
                        [&](char* out) { return server.GetBankName(bank, out); });
}

inline std::string ReadKey(CBankServer& server, std::int32_t bank, std::int32_t pair)
{
    return ReadBankText([&](std::int32_t* n) { return server.GetKeyLength(bank, pair, n); },
                        [&](char* out) { return server.GetKey(bank, pair, out); });
}

inline std::string ReadValue(CBankServer& server, std::int32_t bank, std::int32_t pair)
{
    return ReadBankText([&](std::int32_t* n) { return server.GetValueLength(bank, pair, n); },
                        [&](char* out) { return server.GetValue(bank, pair, out); });
}

inline std::string ReadName(CBankServer& server, std::int32_t bank, std::int32_t item)
{
    return ReadBankText([&](std::int32_t* n) { return server.GetNameLength(bank, item, n); },
                        [&](char* out) { return server.GetName(bank, item, out); });
}

inline std::int32_t PairCount(CBankServer& server, std::int32_t bank)
{
    std::int32_t count = -1;
    EXPECT_EQ(server.GetPairCount(bank, &count), kBankDone);
    return count;
}

inline std::int32_t NameCount(CBankServer& server, std::int32_t bank)
{
    std::int32_t count = -1;
    EXPECT_EQ(server.GetNameCount(bank, &count), kBankDone);
    return count;
}

/// Holds a bank service's (or a client's) lock for one scope.
class ScopedBankLock {
public:
    explicit ScopedBankLock(CMutex& mutex) : mutex(mutex) { mutex.Lock(); }
    ~ScopedBankLock() { mutex.Unlock(); }
    ScopedBankLock(const ScopedBankLock&) = delete;
    ScopedBankLock& operator=(const ScopedBankLock&) = delete;

private:
    CMutex& mutex;
};
