// The bank service under several real threads: loaders filling banks,
// a browser reading them and clients coming and going, all through the
// service's lock.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/samples/BankTestHost.h"
#include "tests/samples/BankTextReader.h"
#include "tests/samples/RecordingBankClient.h"

namespace {

constexpr int kLoaders = 3;
constexpr int kBanksPerLoader = 20;
constexpr int kPairsPerBank = 6;
constexpr int kNamesPerBank = 9;
constexpr int kTotalBanks = kLoaders * kBanksPerLoader;

std::string BankLabel(int loader, int bank) { return "L" + std::to_string(loader) + "B" + std::to_string(bank); }

/// The whole of one bank matches what a loader writes for it; false at the
/// first difference. The caller holds the lock.
bool BankIsComplete(CBankServer& server, std::int32_t bank)
{
    const std::string label = ReadBankName(server, bank);
    if (PairCount(server, bank) != kPairsPerBank || NameCount(server, bank) != kNamesPerBank)
        return false;
    for (int i = 0; i < kPairsPerBank; ++i)
        if (ReadKey(server, bank, i) != "key" + std::to_string(i) ||
            ReadValue(server, bank, i) != label + "/value" + std::to_string(i))
            return false;
    for (int i = 0; i < kNamesPerBank; ++i)
        if (ReadName(server, bank, i) != label + "/preset" + std::to_string(i))
            return false;
    return true;
}

TEST(HostBankServerThreads, LoadersBrowserAndClientsShareTheService)
{
    CBankTestHost host;
    CHostBankServer& server = host.Server();
    CRecordingBankClient watcher(&host, 0);
    ASSERT_EQ(watcher.ConnectBankServer(), kBankDone);

    std::atomic<int> failures{0};
    std::atomic<int> loadersFinished{0};
    std::vector<std::thread> threads;
    for (int loader = 0; loader < kLoaders; ++loader) {
        threads.emplace_back([&, loader] {
            for (int b = 0; b < kBanksPerLoader; ++b) {
                const std::string label = BankLabel(loader, b);
                ScopedBankLock lock(server);
                std::int32_t bank = -1;
                if (server.CreateBank(label.c_str(), &bank) != kBankDone)
                    ++failures;
                for (int i = 0; i < kPairsPerBank; ++i) {
                    const std::string key = "key" + std::to_string(i);
                    const std::string value = label + "/value" + std::to_string(i);
                    std::int32_t pair = -1;
                    if (server.AddInformationPair(bank, key.c_str(), value.c_str(), &pair) != kBankDone || pair != i)
                        ++failures;
                }
                for (int i = 0; i < kNamesPerBank; ++i) {
                    const std::string name = label + "/preset" + std::to_string(i);
                    std::int32_t item = -1;
                    if (server.AddName(bank, name.c_str(), &item) != kBankDone || item != i)
                        ++failures;
                }
            }
            ++loadersFinished;
        });
    }
    // Clients that come and go while the loaders notify: registration from
    // a thread that holds the lock is never "busy", since notifications
    // only run inside another holder's sequence.
    std::atomic<int> churnFailures{0};
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 40; ++round) {
                CRecordingBankClient visitor(&host, 10 + t);
                if (visitor.ConnectBankServer() != kBankDone)
                    ++churnFailures;
                if (round % 2 == 0 && visitor.DisconnectBankServer() != kBankDone)
                    ++churnFailures;
                // Odd rounds leave it connected: its destructor must leave.
            }
        });
    }
    // A browser that, under the lock, must only ever find whole banks. It
    // stops when it has seen them all, or after one last look once the
    // loaders are done, so that a service that loses banks fails instead of
    // hanging.
    std::atomic<int> partialBanks{0};
    threads.emplace_back([&] {
        for (;;) {
            const bool lastLook = loadersFinished.load() == kLoaders;
            ScopedBankLock lock(server);
            std::int32_t length = 0;
            std::int32_t seen = 0;
            while (server.GetBankNameLength(seen, &length) == kBankDone) {
                if (!BankIsComplete(server, seen))
                    ++partialBanks;
                ++seen;
            }
            if (seen >= kTotalBanks || lastLook)
                break;
        }
    });
    for (std::thread& thread : threads)
        thread.join();

    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(churnFailures.load(), 0);
    EXPECT_EQ(partialBanks.load(), 0);
    ASSERT_EQ(server.BankCount(), kTotalBanks);
    EXPECT_FALSE(server.IsLocked());

    ScopedBankLock lock(server);
    std::vector<int> nextBankOfLoader(kLoaders, 0);
    for (std::int32_t bank = 0; bank < kTotalBanks; ++bank) {
        EXPECT_TRUE(BankIsComplete(server, bank)) << bank;
        // Each loader's banks appear in its own order, whatever the
        // interleaving with the others.
        const std::string label = ReadBankName(server, bank);
        const int loader = label[1] - '0';
        ASSERT_GE(loader, 0);
        ASSERT_LT(loader, kLoaders);
        EXPECT_EQ(label, BankLabel(loader, nextBankOfLoader[loader]++));
    }

    // The watcher heard every addition, each bank's as one uninterrupted run:
    // the bank, then its pairs, then its names, in index order.
    constexpr int kRun = 1 + kPairsPerBank + kNamesPerBank;
    ASSERT_EQ(watcher.events.size(), static_cast<std::size_t>(kTotalBanks * kRun));
    EXPECT_EQ(watcher.unlockedNotifications, 0);
    for (int bank = 0; bank < kTotalBanks; ++bank) {
        const BankEvent* run = &watcher.events[static_cast<std::size_t>(bank * kRun)];
        EXPECT_EQ(run[0], (BankEvent{0, BankAddition::Bank, bank, 0}));
        for (int i = 0; i < kPairsPerBank; ++i)
            EXPECT_EQ(run[1 + i], (BankEvent{0, BankAddition::Entry, bank, i}));
        for (int i = 0; i < kNamesPerBank; ++i)
            EXPECT_EQ(run[1 + kPairsPerBank + i], (BankEvent{0, BankAddition::Item, bank, i}));
    }
}

} // namespace
