#include "platform/ProcedureQueue.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include "platform/Semaphore.h"
#include "TestSupport.h"

using platform::ProcedureQueue;

namespace {

// What a queued procedure reports: which producer, which of its entries, and
// the thread it ran on. The records are made before anything is queued, so a
// procedure only writes through the pointer it is handed.
struct Log;
struct Record {
    Log* log = nullptr;
    int producer = 0;
    int sequence = 0;
};
struct Log {
    std::vector<const Record*> ran;   // owner thread only
    std::thread::id owner;
    int strayRuns = 0;                // runs on any other thread
};

void Note(std::uintptr_t argument)
{
    const auto* record = reinterpret_cast<const Record*>(argument);
    if (std::this_thread::get_id() != record->log->owner)
        ++record->log->strayRuns;
    record->log->ran.push_back(record);
}

std::uintptr_t Address(const Record& record)
{
    return reinterpret_cast<std::uintptr_t>(&record);
}

void ExpectPerProducerOrder(const Log& log, int producers, int perProducer)
{
    std::vector<int> next(producers, 0);
    for (const Record* record : log.ran) {
        ASSERT_GE(record->producer, 0);
        ASSERT_LT(record->producer, producers);
        EXPECT_EQ(record->sequence, next[record->producer]) << "producer " << record->producer;
        next[record->producer] = record->sequence + 1;
    }
    for (int p = 0; p < producers; ++p)
        EXPECT_EQ(next[p], perProducer) << "producer " << p;
}

} // namespace

TEST(ProcedureQueue, RunsInQueueingOrderAndRefusesWhenFull)
{
    ProcedureQueue queue;
    Log log;
    log.owner = std::this_thread::get_id();
    std::vector<Record> records(ProcedureQueue::kCapacity + 1);
    for (std::size_t i = 0; i < records.size(); ++i)
        records[i] = {&log, 0, static_cast<int>(i)};

    // Several rounds, with a partial round in between, so that positions wrap
    // past the capacity more than once.
    for (int round = 0; round < 5; ++round) {
        const std::size_t fill = round == 2 ? 100 : ProcedureQueue::kCapacity;
        log.ran.clear();
        for (std::size_t i = 0; i < fill; ++i) {
            ASSERT_TRUE(queue.Push(&Note, Address(records[i]))) << "round " << round << " entry " << i;
        }
        if (fill == ProcedureQueue::kCapacity) {
            EXPECT_FALSE(queue.Push(&Note, Address(records[fill]))) << "round " << round;
        }

        EXPECT_EQ(queue.RunPending(), static_cast<int>(fill));
        ASSERT_EQ(log.ran.size(), fill);
        for (std::size_t i = 0; i < fill; ++i)
            EXPECT_EQ(log.ran[i], &records[i]);
        EXPECT_EQ(queue.RunPending(), 0);
    }
    EXPECT_EQ(log.strayRuns, 0);
}

TEST(ProcedureQueue, WaitAndRunRunsWhatIsQueuedWithoutWaiting)
{
    ProcedureQueue queue;
    Log log;
    Record records[3] = {{&log, 0, 0}, {&log, 0, 1}, {&log, 0, 2}};
    std::atomic<int> ran{-1};
    std::atomic<bool> returned{false};

    // The owner's wait is far longer than the bound below: it must not be
    // taken at all when there is work already.
    std::thread owner([&] {
        log.owner = std::this_thread::get_id();
        EXPECT_EQ(queue.WaitAndRun(0), 0);
        for (const Record& record : records)
            EXPECT_TRUE(queue.Push(&Note, Address(record)));
        ran = queue.WaitAndRun(10 * 60 * 1000);
        returned = true;
    });
    const bool returnedInTime = platform_test::WaitUntil([&] { return returned.load(); });
    if (!returnedInTime) {
        static Record wake{&log, 1, 0};
        queue.Push(&Note, Address(wake));
    }
    owner.join();

    EXPECT_TRUE(returnedInTime) << "the owner waited although work was queued";
    EXPECT_EQ(ran.load(), 3);
    ASSERT_GE(log.ran.size(), 3u);
    EXPECT_EQ(log.ran[0], &records[0]);
    EXPECT_EQ(log.ran[1], &records[1]);
    EXPECT_EQ(log.ran[2], &records[2]);
    EXPECT_EQ(log.strayRuns, 0);
}

namespace {

struct WakeRound {
    platform::Semaphore* done;
    std::atomic<int>* ran;
};

void SignalDone(std::uintptr_t argument)
{
    auto* round = reinterpret_cast<WakeRound*>(argument);
    round->ran->fetch_add(1);
    round->done->Release();
}

} // namespace

// The owner sleeps with a wait far longer than the test; each push must end
// that sleep. A lost wake shows as a round not answered within the bound.
TEST(ProcedureQueue, APushFromAnotherThreadEndsTheOwnersWait)
{
    constexpr int kRounds = 2000;
    ProcedureQueue queue;
    platform::Semaphore done(0, 1);
    std::atomic<int> ran{0};
    std::atomic<bool> abandon{false};
    WakeRound round{&done, &ran};

    std::thread owner([&] {
        while (ran.load() < kRounds && !abandon.load())
            queue.WaitAndRun(60000);
    });
    int answered = 0;
    for (int i = 0; i < kRounds; ++i) {
        ASSERT_TRUE(queue.Push(&SignalDone, reinterpret_cast<std::uintptr_t>(&round)));
        if (!done.WaitFor(static_cast<int>(std::chrono::milliseconds(platform_test::kGenerousBound).count())))
            break;
        ++answered;
    }
    if (answered < kRounds) {
        abandon = true;
        queue.Push(&SignalDone, reinterpret_cast<std::uintptr_t>(&round));
    }
    owner.join();
    EXPECT_EQ(answered, kRounds) << "the owner slept through a push";
}

TEST(ProcedureQueue, EntriesFromManyProducersAreNeitherLostNorReordered)
{
    constexpr int kProducers = 3;
    constexpr int kPerProducer = 4000;
    ProcedureQueue queue;
    Log log;
    std::vector<std::vector<Record>> records(kProducers, std::vector<Record>(kPerProducer));
    for (int p = 0; p < kProducers; ++p) {
        for (int i = 0; i < kPerProducer; ++i)
            records[p][i] = {&log, p, i};
    }

    // The owner names itself before its first run; Note compares with that.
    std::thread owner([&] {
        log.owner = std::this_thread::get_id();
        const auto deadline = std::chrono::steady_clock::now() + platform_test::kGenerousBound;
        while (log.ran.size() < static_cast<std::size_t>(kProducers * kPerProducer) &&
               std::chrono::steady_clock::now() < deadline)
            queue.WaitAndRun(50);
    });
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&, p] {
            for (int i = 0; i < kPerProducer; ++i) {
                // A full queue refuses; the producer keeps its entry and
                // offers it again once the owner has drained some.
                while (!queue.Push(&Note, Address(records[p][i])))
                    std::this_thread::yield();
            }
        });
    }
    for (auto& producer : producers)
        producer.join();
    owner.join();

    EXPECT_EQ(log.ran.size(), static_cast<std::size_t>(kProducers * kPerProducer));
    EXPECT_EQ(log.strayRuns, 0);
    ExpectPerProducerOrder(log, kProducers, kPerProducer);
    EXPECT_EQ(queue.RunPending(), 0);
}
