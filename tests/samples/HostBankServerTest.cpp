// The host's bank service driven directly: result codes, the lock rule,
// indices, texts and the notifications to registered clients.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <functional>
#include <latch>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "samples/HostBankServer.h"
#include "tests/samples/BankTextReader.h"
#include "tests/samples/RecordingBankClient.h"

namespace {

using Events = std::vector<BankEvent>;
constexpr auto kBank = BankAddition::Bank;
constexpr auto kEntry = BankAddition::Entry;
constexpr auto kItem = BankAddition::Item;

class HostBankServerTest : public ::testing::Test {
protected:
    int Register(CBankClient& client)
    {
        ScopedBankLock lock(server);
        return server.RegisterClient(&client);
    }
    int Unregister(CBankClient& client)
    {
        ScopedBankLock lock(server);
        return server.UnregisterClient(&client);
    }
    /// A bank with one pair and one name, created under the lock.
    std::int32_t AddFilledBank(const char* name)
    {
        ScopedBankLock lock(server);
        std::int32_t bank = -1;
        EXPECT_EQ(server.CreateBank(name, &bank), kBankDone);
        EXPECT_EQ(server.AddInformationPair(bank, "key", "value", nullptr), kBankDone);
        EXPECT_EQ(server.AddName(bank, "preset", nullptr), kBankDone);
        return bank;
    }

    // The server is declared first so that it outlives the clients it points to.
    CHostBankServer server;
    Events log;
    CRecordingBankClient a{nullptr, 0, &log};
    CRecordingBankClient b{nullptr, 1, &log};
    CRecordingBankClient c{nullptr, 2, &log};
};

TEST_F(HostBankServerTest, RegisteringTwiceAndUnregisteringUnknownGiveAlready)
{
    EXPECT_EQ(Register(a), kBankDone);
    EXPECT_EQ(Register(a), kBankAlready);
    EXPECT_EQ(Unregister(b), kBankAlready);
    EXPECT_EQ(Unregister(a), kBankDone);
    EXPECT_EQ(Unregister(a), kBankAlready);

    // The refused second registration must not have left a duplicate behind.
    EXPECT_EQ(Register(a), kBankDone);
    AddFilledBank("Bank");
    EXPECT_EQ(a.events.size(), 3u);
}

TEST_F(HostBankServerTest, UnregisterKeepsTheOthersInOrder)
{
    CRecordingBankClient d{nullptr, 3, &log};
    for (CBankClient* client : {&a, &b, &c, &d})
        ASSERT_EQ(Register(*client), kBankDone);
    ASSERT_EQ(Unregister(b), kBankDone);
    {
        ScopedBankLock lock(server);
        ASSERT_EQ(server.CreateBank("One", nullptr), kBankDone);
    }
    EXPECT_EQ(log, (Events{{0, kBank, 0, 0}, {2, kBank, 0, 0}, {3, kBank, 0, 0}}));

    // Removing the first and the last, then coming back, puts b at the end.
    log.clear();
    ASSERT_EQ(Unregister(a), kBankDone);
    ASSERT_EQ(Unregister(d), kBankDone);
    ASSERT_EQ(Register(b), kBankDone);
    {
        ScopedBankLock lock(server);
        ASSERT_EQ(server.CreateBank("Two", nullptr), kBankDone);
    }
    EXPECT_EQ(log, (Events{{2, kBank, 1, 0}, {1, kBank, 1, 0}}));
}

// Every change, tried by a thread that does not hold the lock, with what it
// must leave as it was.
void ExpectChangesRefused(CHostBankServer& server, CBankClient& registered, CBankClient& stranger)
{
    std::int32_t index = 77;
    EXPECT_EQ(server.CreateBank("Intruder", &index), kBankNotLocked);
    EXPECT_EQ(server.AddInformationPair(0, "k", "v", &index), kBankNotLocked);
    EXPECT_EQ(server.AddName(0, "n", &index), kBankNotLocked);
    // The lock is checked before the index.
    EXPECT_EQ(server.AddName(-1, "n", &index), kBankNotLocked);
    EXPECT_EQ(server.RegisterClient(&stranger), kBankNotLocked);
    EXPECT_EQ(server.UnregisterClient(&registered), kBankNotLocked);
    std::int32_t length = -1;
    char text[64] = {};
    EXPECT_EQ(server.GetBankNameLength(0, &length), kBankNotLocked);
    EXPECT_EQ(server.GetBankName(0, text), kBankNotLocked);

    EXPECT_EQ(server.BankCount(), 1);
    EXPECT_EQ(PairCount(server, 0), 1);
    EXPECT_EQ(NameCount(server, 0), 1);
}

TEST_F(HostBankServerTest, ChangesWithoutTheLockGiveNotLockedAndChangeNothing)
{
    ASSERT_EQ(Register(a), kBankDone);
    AddFilledBank("Only");
    a.events.clear();

    ExpectChangesRefused(server, a, b);

    // a stayed registered, b did not become so, and nobody heard of anything.
    EXPECT_TRUE(a.events.empty());
    AddFilledBank("Next");
    EXPECT_EQ(a.events.size(), 3u);
    EXPECT_TRUE(b.events.empty());
}

TEST_F(HostBankServerTest, ChangesWhileAnotherThreadHoldsTheLockGiveNotLocked)
{
    ASSERT_EQ(Register(a), kBankDone);
    AddFilledBank("Only");
    a.events.clear();

    std::latch held(1);
    std::latch done(1);
    std::thread holder([&] {
        server.Lock();
        held.count_down();
        done.wait();
        server.Unlock();
    });
    held.wait();
    // Locked, but not by this thread: that must not count.
    EXPECT_TRUE(server.IsLocked());
    EXPECT_FALSE(server.IsLockedByCaller());
    ExpectChangesRefused(server, a, b);
    done.count_down();
    holder.join();

    EXPECT_TRUE(a.events.empty());
    EXPECT_FALSE(server.IsLocked());
}

TEST_F(HostBankServerTest, BankNameNeedsTheLockButPairAndNameQueriesDoNot)
{
    AddFilledBank("Grand Piano");
    ASSERT_FALSE(server.IsLocked());

    EXPECT_EQ(PairCount(server, 0), 1);
    EXPECT_EQ(ReadKey(server, 0, 0), "key");
    EXPECT_EQ(ReadValue(server, 0, 0), "value");
    EXPECT_EQ(NameCount(server, 0), 1);
    EXPECT_EQ(ReadName(server, 0, 0), "preset");

    std::int32_t length = -1;
    EXPECT_EQ(server.GetBankNameLength(0, &length), kBankNotLocked);
    ScopedBankLock lock(server);
    EXPECT_EQ(ReadBankName(server, 0), "Grand Piano");
}

TEST_F(HostBankServerTest, BankIndexOutOfRangeGivesBadIndexForEveryQuery)
{
    AddFilledBank("First");
    AddFilledBank("Second");
    ASSERT_EQ(Register(a), kBankDone);
    ScopedBankLock lock(server);

    std::int32_t number = 0;
    char text[64] = {};
    const std::vector<std::pair<const char*, std::function<int(std::int32_t)>>> queries = {
        {"bank name", [&](std::int32_t bank) { return server.GetBankName(bank, text); }},
        {"bank name length", [&](std::int32_t bank) { return server.GetBankNameLength(bank, &number); }},
        {"pair count", [&](std::int32_t bank) { return server.GetPairCount(bank, &number); }},
        {"key length", [&](std::int32_t bank) { return server.GetKeyLength(bank, 0, &number); }},
        {"key", [&](std::int32_t bank) { return server.GetKey(bank, 0, text); }},
        {"value length", [&](std::int32_t bank) { return server.GetValueLength(bank, 0, &number); }},
        {"value", [&](std::int32_t bank) { return server.GetValue(bank, 0, text); }},
        {"name count", [&](std::int32_t bank) { return server.GetNameCount(bank, &number); }},
        {"name", [&](std::int32_t bank) { return server.GetName(bank, 0, text); }},
        {"name length", [&](std::int32_t bank) { return server.GetNameLength(bank, 0, &number); }},
        {"add pair", [&](std::int32_t bank) { return server.AddInformationPair(bank, "k", "v", &number); }},
        {"add name", [&](std::int32_t bank) { return server.AddName(bank, "n", &number); }},
    };
    for (const auto& [what, query] : queries) {
        for (std::int32_t bank : {-1, 2, INT32_MIN, INT32_MAX})
            EXPECT_EQ(query(bank), kBankBadIndex) << what << " of bank " << bank;
        EXPECT_EQ(query(1), kBankDone) << what << " of the last bank";
    }
    // The refused additions stored nothing and told nobody.
    EXPECT_EQ(a.events, (Events{{0, kEntry, 1, 1}, {0, kItem, 1, 1}}));
    EXPECT_EQ(server.BankCount(), 2);
    EXPECT_EQ(PairCount(server, 0), 1);
    EXPECT_EQ(NameCount(server, 0), 1);
}

TEST_F(HostBankServerTest, ItemIndexOutOfRangeGivesBadIndex)
{
    AddFilledBank("First");
    {
        ScopedBankLock lock(server);
        ASSERT_EQ(server.AddInformationPair(0, "second key", "second value", nullptr), kBankDone);
        ASSERT_EQ(server.AddName(0, "second preset", nullptr), kBankDone);
    }
    std::int32_t length = 0;
    char text[64] = {};
    for (std::int32_t item : {-1, 2, INT32_MAX}) {
        EXPECT_EQ(server.GetKeyLength(0, item, &length), kBankBadIndex) << item;
        EXPECT_EQ(server.GetKey(0, item, text), kBankBadIndex) << item;
        EXPECT_EQ(server.GetValueLength(0, item, &length), kBankBadIndex) << item;
        EXPECT_EQ(server.GetValue(0, item, text), kBankBadIndex) << item;
        EXPECT_EQ(server.GetNameLength(0, item, &length), kBankBadIndex) << item;
        EXPECT_EQ(server.GetName(0, item, text), kBankBadIndex) << item;
    }
    EXPECT_EQ(ReadKey(server, 0, 1), "second key");
    EXPECT_EQ(ReadName(server, 0, 1), "second preset");
}

TEST_F(HostBankServerTest, MissingOutArgumentsGiveBadIndexAndOptionalOnesMayBeMissing)
{
    ScopedBankLock lock(server);
    // The index outputs of the adding operations are optional.
    ASSERT_EQ(server.CreateBank("Bank", nullptr), kBankDone);
    ASSERT_EQ(server.AddInformationPair(0, "key", "value", nullptr), kBankDone);
    ASSERT_EQ(server.AddName(0, "name", nullptr), kBankDone);
    ASSERT_EQ(server.BankCount(), 1);

    EXPECT_EQ(server.GetBankName(0, nullptr), kBankBadIndex);
    EXPECT_EQ(server.GetBankNameLength(0, nullptr), kBankBadIndex);
    EXPECT_EQ(server.GetPairCount(0, nullptr), kBankBadIndex);
    EXPECT_EQ(server.GetKeyLength(0, 0, nullptr), kBankBadIndex);
    EXPECT_EQ(server.GetKey(0, 0, nullptr), kBankBadIndex);
    EXPECT_EQ(server.GetValueLength(0, 0, nullptr), kBankBadIndex);
    EXPECT_EQ(server.GetValue(0, 0, nullptr), kBankBadIndex);
    EXPECT_EQ(server.GetNameCount(0, nullptr), kBankBadIndex);
    EXPECT_EQ(server.GetName(0, 0, nullptr), kBankBadIndex);
    EXPECT_EQ(server.GetNameLength(0, 0, nullptr), kBankBadIndex);
}

TEST_F(HostBankServerTest, TextsRoundTripThroughLengthPlusOneBuffers)
{
    std::string longText;
    for (int i = 0; longText.size() < 70000; ++i)
        longText += "Sample " + std::to_string(i) + "; ";
    const std::vector<std::string> texts = {"", "A", "Grand Piano (stereo)", "Fl\xc3\xb6te \xe2\x99\xaf", longText};

    ScopedBankLock lock(server);
    for (const std::string& text : texts) {
        std::int32_t bank = -1;
        std::int32_t pair = -1;
        std::int32_t item = -1;
        ASSERT_EQ(server.CreateBank(text.c_str(), &bank), kBankDone);
        ASSERT_EQ(server.AddInformationPair(bank, text.c_str(), ("=" + text).c_str(), &pair), kBankDone);
        ASSERT_EQ(server.AddName(bank, text.c_str(), &item), kBankDone);

        std::int32_t length = -1;
        ASSERT_EQ(server.GetBankNameLength(bank, &length), kBankDone);
        EXPECT_EQ(length, static_cast<std::int32_t>(text.size())) << "the terminator is not counted";
        EXPECT_EQ(ReadBankName(server, bank), text);
        EXPECT_EQ(ReadKey(server, bank, pair), text);
        EXPECT_EQ(ReadValue(server, bank, pair), "=" + text);
        EXPECT_EQ(ReadName(server, bank, item), text);
    }
}

TEST_F(HostBankServerTest, TextsAreCopiesOfTheCallersBuffers)
{
    char name[] = "Strings";
    char key[] = "Author";
    char value[] = "Somebody";
    {
        ScopedBankLock lock(server);
        ASSERT_EQ(server.CreateBank(name, nullptr), kBankDone);
        ASSERT_EQ(server.AddInformationPair(0, key, value, nullptr), kBankDone);
        ASSERT_EQ(server.AddName(0, name, nullptr), kBankDone);
    }
    std::fill(std::begin(name), std::end(name) - 1, 'x');
    std::fill(std::begin(key), std::end(key) - 1, 'x');
    std::fill(std::begin(value), std::end(value) - 1, 'x');

    ScopedBankLock lock(server);
    EXPECT_EQ(ReadBankName(server, 0), "Strings");
    EXPECT_EQ(ReadKey(server, 0, 0), "Author");
    EXPECT_EQ(ReadValue(server, 0, 0), "Somebody");
    EXPECT_EQ(ReadName(server, 0, 0), "Strings");
}

TEST_F(HostBankServerTest, BanksKeepCreationOrderAndTheirOwnLists)
{
    ScopedBankLock lock(server);
    const std::vector<std::string> names = {"Piano", "Organ", "Bass", "Drums", "Pads"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::int32_t bank = -1;
        ASSERT_EQ(server.CreateBank(names[i].c_str(), &bank), kBankDone);
        EXPECT_EQ(bank, static_cast<std::int32_t>(i));
    }
    // Interleaved additions to two banks: each list counts on its own, and
    // pairs and names do not share an index sequence.
    std::int32_t index = -1;
    ASSERT_EQ(server.AddInformationPair(3, "k0", "v0", &index), kBankDone);
    EXPECT_EQ(index, 0);
    ASSERT_EQ(server.AddName(1, "n0", &index), kBankDone);
    EXPECT_EQ(index, 0);
    ASSERT_EQ(server.AddInformationPair(3, "k1", "v1", &index), kBankDone);
    EXPECT_EQ(index, 1);
    ASSERT_EQ(server.AddName(3, "m0", &index), kBankDone);
    EXPECT_EQ(index, 0);
    ASSERT_EQ(server.AddInformationPair(1, "j0", "w0", &index), kBankDone);
    EXPECT_EQ(index, 0);

    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(ReadBankName(server, static_cast<std::int32_t>(i)), names[i]);
    EXPECT_EQ(PairCount(server, 3), 2);
    EXPECT_EQ(ReadKey(server, 3, 1), "k1");
    EXPECT_EQ(ReadValue(server, 3, 0), "v0");
    EXPECT_EQ(NameCount(server, 3), 1);
    EXPECT_EQ(PairCount(server, 1), 1);
    EXPECT_EQ(ReadValue(server, 1, 0), "w0");
    EXPECT_EQ(ReadName(server, 1, 0), "n0");
    for (std::int32_t empty : {0, 2, 4}) {
        EXPECT_EQ(PairCount(server, empty), 0);
        EXPECT_EQ(NameCount(server, empty), 0);
    }
}

TEST_F(HostBankServerTest, NotificationsReachClientsInRegistrationOrderWithTheNewIndices)
{
    for (CBankClient* client : {&c, &a, &b})
        ASSERT_EQ(Register(*client), kBankDone);
    {
        ScopedBankLock lock(server);
        ASSERT_EQ(server.CreateBank("Zero", nullptr), kBankDone);
        ASSERT_EQ(server.CreateBank("One", nullptr), kBankDone);
        ASSERT_EQ(server.AddInformationPair(1, "k", "v", nullptr), kBankDone);
        ASSERT_EQ(server.AddInformationPair(1, "k", "v", nullptr), kBankDone);
        ASSERT_EQ(server.AddName(1, "n", nullptr), kBankDone);
        ASSERT_EQ(server.AddName(0, "n", nullptr), kBankDone);
    }
    const Events expected = {
        {2, kBank, 0, 0}, {0, kBank, 0, 0}, {1, kBank, 0, 0},
        {2, kBank, 1, 0}, {0, kBank, 1, 0}, {1, kBank, 1, 0},
        {2, kEntry, 1, 0}, {0, kEntry, 1, 0}, {1, kEntry, 1, 0},
        {2, kEntry, 1, 1}, {0, kEntry, 1, 1}, {1, kEntry, 1, 1},
        {2, kItem, 1, 0}, {0, kItem, 1, 0}, {1, kItem, 1, 0},
        {2, kItem, 0, 0}, {0, kItem, 0, 0}, {1, kItem, 0, 0},
    };
    EXPECT_EQ(log, expected);
}

TEST_F(HostBankServerTest, EachNotificationHoldsOnlyThatClientsLock)
{
    for (CBankClient* client : {&a, &b, &c})
        ASSERT_EQ(Register(*client), kBankDone);
    std::vector<std::string> problems;
    const auto check = [&](CRecordingBankClient& self, const BankEvent&) {
        if (!server.IsLockedByCaller())
            problems.push_back("server not held by the adder during a notification");
        for (CRecordingBankClient* other : {&a, &b, &c})
            if (other != &self && other->IsLocked())
                problems.push_back("client " + std::to_string(other->id) + " locked during another's notification");
    };
    a.onEvent = b.onEvent = c.onEvent = check;
    AddFilledBank("Bank");

    EXPECT_TRUE(problems.empty()) << problems.front();
    for (CRecordingBankClient* client : {&a, &b, &c}) {
        EXPECT_EQ(client->events.size(), 3u);
        EXPECT_EQ(client->unlockedNotifications, 0) << client->id;
        EXPECT_FALSE(client->IsLocked()) << "client " << client->id << " left locked";
    }
}

TEST_F(HostBankServerTest, HandlerSeesTheNewItemThroughQueries)
{
    ASSERT_EQ(Register(a), kBankDone);
    std::vector<std::string> seen;
    a.onEvent = [&](CRecordingBankClient&, const BankEvent& event) {
        switch (event.what) {
        case BankAddition::Bank:
            seen.push_back("bank " + ReadBankName(server, event.bank));
            break;
        case BankAddition::Entry:
            seen.push_back("pair " + ReadKey(server, event.bank, event.item) + "=" +
                           ReadValue(server, event.bank, event.item) + " of " +
                           std::to_string(PairCount(server, event.bank)));
            break;
        case BankAddition::Item:
            seen.push_back("name " + ReadName(server, event.bank, event.item) + " of " +
                           std::to_string(NameCount(server, event.bank)));
            break;
        }
    };
    {
        ScopedBankLock lock(server);
        ASSERT_EQ(server.CreateBank("Choir", nullptr), kBankDone);
        ASSERT_EQ(server.AddInformationPair(0, "Engineer", "Me", nullptr), kBankDone);
        ASSERT_EQ(server.AddInformationPair(0, "Copyright", "", nullptr), kBankDone);
        ASSERT_EQ(server.AddName(0, "Aahs", nullptr), kBankDone);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"bank Choir", "pair Engineer=Me of 1", "pair Copyright= of 2",
                                              "name Aahs of 1"}));
}

TEST_F(HostBankServerTest, HandlerGetsBusyFromEveryChange)
{
    ASSERT_EQ(Register(a), kBankDone);
    ASSERT_EQ(Register(b), kBankDone);
    std::vector<std::string> wrong;
    a.onEvent = [&](CRecordingBankClient& self, const BankEvent& event) {
        const std::string at = " in notification " + std::to_string(static_cast<int>(event.what));
        std::int32_t index = 55;
        if (server.CreateBank("Nested", &index) != kBankBusy)
            wrong.push_back("create bank" + at);
        if (server.AddInformationPair(event.bank, "k", "v", &index) != kBankBusy)
            wrong.push_back("add pair" + at);
        if (server.AddName(event.bank, "n", &index) != kBankBusy)
            wrong.push_back("add name" + at);
        if (server.RegisterClient(&c) != kBankBusy)
            wrong.push_back("register" + at);
        if (server.UnregisterClient(&self) != kBankBusy)
            wrong.push_back("unregister self" + at);
        if (server.UnregisterClient(&b) != kBankBusy)
            wrong.push_back("unregister other" + at);
    };
    AddFilledBank("Outer");

    EXPECT_TRUE(wrong.empty()) << wrong.size() << " accepted, first: " << wrong.front();
    EXPECT_EQ(server.BankCount(), 1);
    EXPECT_EQ(PairCount(server, 0), 1);
    EXPECT_EQ(NameCount(server, 0), 1);
    // b, after a in the order, is still told of all three additions.
    EXPECT_EQ(b.events.size(), 3u);

    // Once the notifications are over, changes are accepted again and the
    // registrations are as they were.
    a.onEvent = nullptr;
    AddFilledBank("After");
    EXPECT_EQ(a.events.size(), 6u);
    EXPECT_EQ(b.events.size(), 6u);
    EXPECT_TRUE(c.events.empty());
}

} // namespace
