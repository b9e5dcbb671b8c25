// The export's worker threads: bytes come back in the order the batches went in, however
// long each batch takes; a failure in a worker reaches the caller; stopping half-way does
// not hang.
#include <gtest/gtest.h>

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "exchange/OrderedWorkers.h"

using exchange::OrderedWorkers;

namespace {

// A batch is a list of numbers; its bytes are the numbers, one a line. Batches whose first
// number is even take longer, so later batches often finish first.
void numbersAsLines(std::vector<int>& batch, QByteArray& bytes) {
    if (!batch.empty() && batch.front() % 2 == 0)
        std::this_thread::sleep_for(std::chrono::microseconds(300));
    bytes.clear();
    for (const int n : batch) bytes += QByteArray::number(n) + '\n';
}

TEST(OrderedWorkers, BytesComeBackInTheOrderOfTheBatches) {
    for (const int threads : {1, 3}) {
        QByteArray written, expected;
        std::atomic<int> batchesSeen = 0;
        {
            OrderedWorkers<std::vector<int>> workers(
                threads, [&](int worker, std::vector<int>& batch, QByteArray& bytes) {
                    EXPECT_GE(worker, 0);
                    EXPECT_LT(worker, threads);
                    ++batchesSeen;
                    numbersAsLines(batch, bytes);
                });
            const auto write = [&written](const QByteArray& bytes) { written += bytes; };
            std::vector<int> batch;
            for (int b = 0; b < 60; ++b) {
                batch.clear();  // a batch that comes back is an earlier one, refilled
                for (int k = 0; k < 1 + b % 5; ++k) {
                    const int n = b * 10 + k;
                    batch.push_back(n);
                    expected += QByteArray::number(n) + '\n';
                }
                workers.submit(batch, write);
            }
            workers.finish(write);
        }
        EXPECT_EQ(batchesSeen, 60);
        EXPECT_EQ(written, expected) << threads << " threads";
    }
}

TEST(OrderedWorkers, AFailureInAWorkerIsThrownToTheCaller) {
    OrderedWorkers<std::vector<int>> workers(2, [](int, std::vector<int>& batch, QByteArray&) {
        if (batch.front() == 3) throw std::runtime_error("disk full");
    });
    QByteArray written;
    const auto write = [&written](const QByteArray& bytes) { written += bytes; };
    bool thrown = false;
    try {
        for (int b = 0; b < 20; ++b) {
            std::vector<int> batch{b};
            workers.submit(batch, write);
        }
        workers.finish(write);
    } catch (const std::runtime_error& e) {
        thrown = true;
        EXPECT_STREQ(e.what(), "disk full");
    }
    EXPECT_TRUE(thrown);
}

TEST(OrderedWorkers, StoppingWithBatchesStillQueuedEndsTheThreads) {
    std::atomic<int> started = 0;
    {
        OrderedWorkers<std::vector<int>> workers(
            1, [&started](int, std::vector<int>&, QByteArray&) {
                ++started;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            });
        const auto write = [](const QByteArray&) {};
        for (int b = 0; b < 2; ++b) {
            std::vector<int> batch{b};
            workers.submit(batch, write);
        }
    }  // a cancelled export leaves here without finish()
    EXPECT_LE(started, 2);
}

}  // namespace
