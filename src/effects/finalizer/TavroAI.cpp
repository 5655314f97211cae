#include "effects/finalizer/TavroAI.h"

namespace TavroAI
{
    AIEngine::AIEngine()
    {
        running = true;
        worker = std::thread ([this] { workerLoop(); });
    }

    AIEngine::~AIEngine()
    {
        {
            const std::lock_guard<std::mutex> lock (queueMutex);
            running = false;
        }
        queueCondition.notify_all();

        if (worker.joinable())
            worker.join();
    }

    void AIEngine::enqueue (AIJob job)
    {
        {
            const std::lock_guard<std::mutex> lock (queueMutex);
            jobs.push_back (std::move (job));
        }
        queueCondition.notify_one();
    }

    void AIEngine::workerLoop()
    {
        for (;;)
        {
            AIJob job;
            {
                std::unique_lock<std::mutex> lock (queueMutex);
                queueCondition.wait (lock, [this] { return ! running.load() || ! jobs.empty(); });

                if (! running.load())
                    return;

                job = std::move (jobs.front());
                jobs.pop_front();
            }

            if (job.run)
                job.run();
        }
    }
}
