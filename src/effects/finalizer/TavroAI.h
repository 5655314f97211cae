#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace TavroAI
{
    /** A queued piece of work for the model worker. Nothing queues one yet; the worker exists
        so that its lifetime is tied to the finalizer from the start. */
    struct AIJob
    {
        std::function<void()> run;
    };

    /** Owns the model worker thread. The thread sleeps on the queue until a job or shutdown
        arrives and is joined in the destructor, before the members it uses go away. */
    class AIEngine
    {
    public:
        AIEngine();
        ~AIEngine();

        void enqueue (AIJob job);
        bool isRunning() const noexcept { return running.load(); }

    private:
        void workerLoop();

        std::thread worker;
        std::atomic<bool> running { false };
        std::mutex queueMutex;
        std::condition_variable queueCondition;
        std::deque<AIJob> jobs;

        AIEngine (const AIEngine&) = delete;
        AIEngine& operator= (const AIEngine&) = delete;
    };
}
