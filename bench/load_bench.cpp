// Loading a five-minute 44.1 kHz stereo file through the window's own chooser road, from the
// choice to PLAY enabled with both waveform views' overviews complete and the main one painted.
// WAV and FLAC are written from the benchmark stimulus; the MP3 repeats the test fixture's
// audio frames, as the framework cannot encode MP3. Besides the time, each row reports the
// process's resident memory once the load (spectrograms included) has settled, and its peak
// during the load, against the decoded size.

#include "BenchSupport.h"

#include "../tests/main/road/MainComponentRoadAccess.h"
#include "platform/AudioFileDecode.h"
#include "platform/AudioFormats.h"

#include <cstdio>
#include <fstream>
#include <memory>

namespace
{
    constexpr double fileRate = 44100.0;
    constexpr int fileFrames = (int) (300 * fileRate);
    constexpr double mib = 1024.0 * 1024.0;

    juce::File benchFolder()
    {
        static const juce::File folder = []
        {
            auto f = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("tavrofx-load", "", false);
            f.createDirectory();
            return f;
        }();
        return folder;
    }

    /** Five minutes of the stimulus, looped, as 16-bit stereo through the given format. */
    juce::File writeStimulus (juce::AudioFormat& format, const juce::String& name)
    {
        const auto file = benchFolder().getChildFile (name);
        const auto& stim = bench::stimulus();
        auto stream = std::make_unique<juce::FileOutputStream> (file);

        if (! stream->openedOk())
            return {};

        std::unique_ptr<juce::AudioFormatWriter> writer (format.createWriterFor (stream.get(), fileRate, 2, 16, {}, 0));
        if (writer == nullptr)
            return {};

        stream.release();

        for (int written = 0; written < fileFrames;)
        {
            const int start = written % stim.numSamples();
            const int count = std::min (fileFrames - written, stim.numSamples() - start);
            const float* const channels[] = { stim.left.data() + start, stim.right.data() + start };
            writer->writeFromFloatArrays (channels, 2, count);
            written += count;
        }

        return file;
    }

    /** MPEG-1 layer III frame length from its header, 0 when the four bytes are not one. */
    int mp3FrameLength (const juce::uint8* h)
    {
        static const int kbps[] = { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0 };
        static const int rates[] = { 44100, 48000, 32000, 0 };

        if (h[0] != 0xff || (h[1] & 0xfe) != 0xfa)
            return 0;

        const int bitrate = kbps[h[2] >> 4] * 1000, rate = rates[(h[2] >> 2) & 3];
        return bitrate > 0 && rate > 0 ? 144 * bitrate / rate + ((h[2] >> 1) & 1) : 0;
    }

    /** The fixture's audio frames (its leading tag frame left out, so no frame count caps the
        length) repeated for five minutes. */
    juce::File writeMp3()
    {
        const juce::File fixture (juce::String (TAVRO_TEST_DATA_DIR) + "/sine440_half_second.mp3");
        juce::MemoryBlock data;

        if (! fixture.loadFileAsData (data))
            return {};

        const auto* bytes = static_cast<const juce::uint8*> (data.getData());
        const int size = (int) data.getSize();
        std::vector<std::pair<int, int>> frames;

        for (int at = 0; at + 4 <= size;)
        {
            const int length = mp3FrameLength (bytes + at);
            if (length <= 0 || at + length > size)
                break;

            frames.emplace_back (at, length);
            at += length;
        }

        // The first frame carries the encoder's tag, not audio.
        if (frames.size() < 2)
            return {};

        const int audioFrames = (int) frames.size() - 1;
        const int repeats = (fileFrames + audioFrames * 1152 - 1) / (audioFrames * 1152);
        const auto file = benchFolder().getChildFile ("load.mp3");
        juce::FileOutputStream out (file);
        out.truncate();

        for (int r = 0; r < repeats; ++r)
            for (size_t f = 1; f < frames.size(); ++f)
                out.write (bytes + frames[f].first, (size_t) frames[f].second);

        return file;
    }

    const juce::File& fileFor (int kind)
    {
        static const juce::File wav = [] { juce::WavAudioFormat f; return writeStimulus (f, "load.wav"); }();
        static const juce::File flac = [] { juce::FlacAudioFormat f; return writeStimulus (f, "load.flac"); }();
        static const juce::File mp3 = writeMp3();
        return kind == 0 ? wav : kind == 1 ? flac : mp3;
    }

    /** A figure from /proc/self/status in MiB (VmRSS, VmHWM), 0 when absent. */
    double statusMib (const char* field)
    {
        std::ifstream status ("/proc/self/status");
        std::string line;
        const std::string key = std::string (field) + ":";

        while (std::getline (status, line))
            if (line.rfind (key, 0) == 0)
                return std::atof (line.c_str() + key.size()) / 1024.0;   // the kernel gives kB

        return 0.0;
    }

    /** Starts the peak (VmHWM) afresh from the current resident size. */
    void resetPeak()
    {
        if (auto* f = std::fopen ("/proc/self/clear_refs", "w"))
        {
            std::fputs ("5", f);
            std::fclose (f);
        }
    }

    bool pumpUntil (const std::function<bool()>& done, double timeoutMs)
    {
        const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;

        while (! done())
        {
            if (juce::Time::getMillisecondCounterHiRes() > end)
                return false;

            juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
        }

        return true;
    }

    void runLoad (benchmark::State& state, int kind, double aimSeconds)
    {
        const auto& file = fileFor (kind);

        if (! file.existsAsFile())
        {
            state.SkipWithError ("could not write the file");
            return;
        }

        // Loading spreads over the loader's and the views' threads, which take this thread's mask.
        bench::unpin();

        std::vector<double> seconds;
        double peak = 0.0, residentAfter = 0.0, residentBefore = 0.0;

        for (auto _ : state)
        {
            // Each run starts from a window with nothing loaded, as a user's first choice does.
            state.PauseTiming();
            auto mc = std::make_unique<MainComponent>();
            mc->shutdownAudio();
            mc->setSize (1600, 1000);
            MainComponentRoadAccess road (*mc);
            const auto views = road.waveformViews();
            const auto overviewsDone = [&]
            {
                for (auto* view : views)
                    if (! view->isFileLoaded() || ! view->getThumbnail().isFullyLoaded())
                        return false;
                return true;
            };
            const auto spectrogramsDone = [&]
            {
                for (auto* view : views)
                    if (! view->isSpectrogramReady())
                        return false;
                return true;
            };

            residentBefore = statusMib ("VmRSS");
            resetPeak();
            state.ResumeTiming();

            const auto start = juce::Time::getMillisecondCounterHiRes();
            road.chooserResult (file);
            const bool playable = road.playButton().isEnabled() && pumpUntil (overviewsDone, 30000.0);
            benchmark::DoNotOptimize (views[0]->createComponentSnapshot (views[0]->getLocalBounds()));
            const auto elapsed = (juce::Time::getMillisecondCounterHiRes() - start) * 1.0e-3;

            if (! playable)
            {
                state.SkipWithError ("the file did not become playable");
                return;
            }

            state.SetIterationTime (elapsed);
            seconds.push_back (elapsed);

            // The display's own work goes on after PLAY; memory is read once it has finished.
            pumpUntil (spectrogramsDone, 60000.0);
            peak = std::max (peak, statusMib ("VmHWM"));
            residentAfter = std::max (residentAfter, statusMib ("VmRSS"));
        }

        std::sort (seconds.begin(), seconds.end());
        const double decoded = (double) fileFrames * 2 * sizeof (float) / mib;
        const double allowance = 150.0e6 / mib;
        state.counters["load_s"] = seconds.empty() ? 0.0 : seconds[seconds.size() / 2];
        state.counters["aim_s"] = aimSeconds;
        state.counters["decoded_mib"] = decoded;
        state.counters["resident_before_mib"] = residentBefore;
        state.counters["resident_after_mib"] = residentAfter;
        state.counters["peak_mib"] = peak;
        state.counters["memory_ok"] = residentAfter <= 1.3 * decoded + allowance && peak <= 1.5 * decoded + allowance ? 1.0 : 0.0;
    }
}

namespace
{
    /** The decode alone (the loader's share of the message thread's wait), from the same files. */
    void runDecode (benchmark::State& state, int kind)
    {
        const auto& file = fileFor (kind);
        juce::AudioFormatManager formats;
        platform::registerAudioFormats (formats);

        for (auto _ : state)
        {
            const auto start = juce::Time::getMillisecondCounterHiRes();
            auto result = audiofile::decode (formats, file);
            state.SetIterationTime ((juce::Time::getMillisecondCounterHiRes() - start) * 1.0e-3);

            if (result.audio == nullptr)
            {
                state.SkipWithError ("the file did not decode");
                return;
            }

            benchmark::DoNotOptimize (result.audio.get());
        }
    }
}

BENCHMARK_CAPTURE (runDecode, Load_Decode_Wav, 0)->Iterations (5)->UseManualTime()->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (runDecode, Load_Decode_Flac, 1)->Iterations (3)->UseManualTime()->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (runDecode, Load_Decode_Mp3, 2)->Iterations (3)->UseManualTime()->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (runLoad, Load_Wav, 0, 0.5)->Iterations (3)->UseManualTime()->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (runLoad, Load_Flac, 1, 1.0)->Iterations (3)->UseManualTime()->Unit (benchmark::kMillisecond);
BENCHMARK_CAPTURE (runLoad, Load_Mp3, 2, 1.2)->Iterations (3)->UseManualTime()->Unit (benchmark::kMillisecond);
