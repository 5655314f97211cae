#include "effects/finalizer/MixAnalyser.h"

#include <cmath>

float historySlope (const std::deque<float>& history)
{
    const auto count = history.size();
    if (count < 5)
        return 0.0f;

    float sx = 0.0f, sy = 0.0f, sxy = 0.0f, sxx = 0.0f;
    float x = 0.0f;
    for (float y : history)
    {
        sx += x;
        sy += y;
        sxy += x * y;
        sxx += x * x;
        x += 1.0f;
    }
    const auto n = (float) count;
    return (n * sxy - sx * sy) / (n * sxx - sx * sx + 0.0001f);
}

MixAnalyser::MixAnalyser()
{
    initialiseNetwork();
}

void MixAnalyser::pushHistory (float rmsDb, float peakDb, float correlation, float crestDb)
{
    const std::pair<std::deque<float>*, float> entries[] = {
        { &rmsHistory, rmsDb }, { &peakHistory, peakDb }, { &correlationHistory, correlation }, { &crestHistory, crestDb }
    };
    for (const auto& [history, value] : entries)
    {
        history->push_back (value);
        while (history->size() > historyLength)
            history->pop_front();
    }

    // Trends over fewer than ten entries say more about the start than about the mix.
    if (rmsHistory.size() < 10)
        return;

    rmsSlope = historySlope (rmsHistory);
    peakSlope = historySlope (peakHistory);
    correlationSlope = historySlope (correlationHistory);
    crestSlope = historySlope (crestHistory);
}

void MixAnalyser::findIssueRegions (const std::vector<IssueMarker>& markers)
{
    issueRegions.clear();
    if (markers.size() < 2)
        return;

    std::vector<bool> used (markers.size(), false);
    for (size_t d = 0; d < markers.size(); ++d)
    {
        if (used[d])
            continue;

        IssueRegion group { { (int) d }, markers[d].position };
        for (size_t i = d + 1; i < markers.size(); ++i)
        {
            // The mid-point moves as members join, so later markers are tested against it.
            if (! used[i] && std::abs (markers[i].position - group.position) < 0.05f)
            {
                group.memberIndices.push_back ((int) i);
                used[i] = true;
                group.position = (group.position + markers[i].position) * 0.5f;
            }
        }

        if (group.memberIndices.size() >= 2)
            issueRegions.push_back (std::move (group));
        used[d] = true;
    }
}

void MixAnalyser::resetForNewFile()
{
    for (auto* history : { &rmsHistory, &peakHistory, &correlationHistory, &crestHistory })
        history->clear();
    issueRegions.clear();

    classProbabilities.assign (numClasses, 0.0f);
    classIndex = goodBalancedClass;

    initialiseNetwork();

    // The baseline values stay as a starting point; the count restarts so they are learned
    // again at the fast rate.
    baselineCount = 0;
    healthScore = 100.0f;
}
