#pragma once

#include <QByteArray>

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace exchange {

// Long-lived threads that turn batches into bytes while the caller fills the next batches,
// and hand the bytes back in the order the batches came. Batches go back and forth by swap,
// so their buffers are reused from one round to the next. Threads live as long as the
// object: starting one per batch cost more than the hand-over.
template <typename Batch>
class OrderedWorkers {
public:
    // `work(worker, batch, bytes)` runs on thread number `worker` (0-based) and fills bytes.
    using Work = std::function<void(int, Batch&, QByteArray&)>;
    using Write = std::function<void(const QByteArray&)>;

    OrderedWorkers(int threads, Work work)
        : work_(std::move(work)), slots_(static_cast<std::size_t>(2 * threads)) {
        for (int w = 0; w < threads; ++w) threads_.emplace_back([this, w] { serve(w); });
    }
    ~OrderedWorkers() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        queued_.notify_all();
        for (std::thread& t : threads_) t.join();
    }
    OrderedWorkers(const OrderedWorkers&) = delete;
    OrderedWorkers& operator=(const OrderedWorkers&) = delete;

    // Queues `batch`, which comes back as an earlier batch to be refilled (the caller clears
    // it). When that earlier batch's bytes were still to be written, `write` gets them first;
    // an exception its work threw is thrown here.
    void submit(Batch& batch, const Write& write) {
        Slot& slot = slots_[next_];
        collect(slot, write);
        std::swap(slot.batch, batch);
        {
            const std::lock_guard lock(mutex_);
            slot.state = State::Queued;
        }
        queued_.notify_one();
        next_ = (next_ + 1) % slots_.size();
    }

    // Waits for every queued batch and writes its bytes, oldest first.
    void finish(const Write& write) {
        for (std::size_t k = 0; k < slots_.size(); ++k)
            collect(slots_[(next_ + k) % slots_.size()], write);
    }

private:
    enum class State { Free, Queued, Working, Done };
    struct Slot {
        Batch batch;
        QByteArray bytes;
        std::exception_ptr error;
        State state = State::Free;
    };

    void collect(Slot& slot, const Write& write) {
        {
            std::unique_lock lock(mutex_);
            done_.wait(lock,
                       [&slot] { return slot.state == State::Free || slot.state == State::Done; });
            if (slot.state == State::Free) return;
            slot.state = State::Free;
        }
        if (slot.error) std::rethrow_exception(std::exchange(slot.error, nullptr));
        write(slot.bytes);
    }

    void serve(int worker) {
        for (;;) {
            Slot* slot = nullptr;
            {
                std::unique_lock lock(mutex_);
                queued_.wait(lock,
                             [this] { return stopping_ || slots_[take_].state == State::Queued; });
                if (stopping_) return;
                slot = &slots_[take_];
                slot->state = State::Working;
                take_ = (take_ + 1) % slots_.size();
            }
            try {
                work_(worker, slot->batch, slot->bytes);
            } catch (...) {
                slot->error = std::current_exception();
            }
            {
                const std::lock_guard lock(mutex_);
                slot->state = State::Done;
            }
            done_.notify_one();
        }
    }

    Work work_;
    std::vector<Slot> slots_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable queued_, done_;
    std::size_t next_ = 0;  // the caller's next slot: the oldest batch in the ring
    std::size_t take_ = 0;  // the next slot a worker takes
    bool stopping_ = false;
};

}  // namespace exchange
