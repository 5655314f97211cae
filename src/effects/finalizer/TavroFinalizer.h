#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "controls/HeadsUpDisplay.h"
#include "controls/ParamSlider.h"
#include "controls/SilverKnobLookAndFeel.h"
#include "effects/finalizer/FinalizerFeatures.h"
#include "effects/finalizer/FinalizerProcessor.h"
#include "effects/finalizer/FinalizerWavePlayer.h"
#include "effects/finalizer/MixAnalyser.h"
#include "effects/finalizer/TavroAI.h"
#include "effects/finalizer/TavroFinalizerHUD.h"
#include "platform/AudioFileDecode.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

/** One point of the drawn display equaliser curve. */
struct CurvePoint
{
    float frequency = 1000.0f;
    float gainDb = 0.0f;
    bool selected = false;
    float minGainDb = -20.0f;
    float q = 2.0f;
};

/** One band of the full panel's (display-only) dynamics section. */
struct DynamicsBand
{
    float crossoverHz = 1000.0f;
    float thresholdDb = -12.0f;
    float ratio = 3.0f;
    float attackMs = 10.0f;
    float releaseMs = 100.0f;
    float makeupDb = 0.0f;
    float reserved = 0.0f;
    bool enabled = true;
    bool solo = false;
    bool mute = false;
};

/** The mastering stage's panel: the settings its controls write (inherited, so each keeps its
    name), the processor that turns them into sound, the wave player, the meters' timer and
    the HUD feed. It is also a full control panel of its own, which the main window never shows. */
class TavroFinalizer : public juce::Component,
                       public juce::Timer,
                       public FinalizerSettings
{
public:
    explicit TavroFinalizer (TavroFinalizerHUD* hudToFeed);
    ~TavroFinalizer() override;

    using DspState = FinalizerProcessor::State;

    //==============================================================================
    // Audio side, forwarded to the processor (audio thread unless stated)
    void prepare (double newSampleRate, int blockSize) { processor.prepare (newSampleRate, blockSize); }
    void process (juce::AudioBuffer<float>& buffer)  { processor.process (buffer, 0, buffer.getNumSamples()); }

    FinalizerProcessor& getProcessor() noexcept { return processor; }
    const FinalizerProcessor& getProcessor() const noexcept { return processor; }

    /** Recomputes the five equaliser sections from the tone gains and hands them to the audio
        thread as one set. Message thread, or the prepare step. */
    void updateEqCoefficients() { processor.updateEqCoefficients(); }

    /** The latest block's meters and features, as one consistent copy (message thread). */
    FinalizerMeters readMeters() const { return processor.readMeters(); }

    static float toGain (float dB) noexcept { return FinalizerProcessor::toGain (dB); }

    void applyDistStage (float& left, float& right) noexcept   { processor.applyDistStage (left, right); }
    void applyAtomizeStage (float& left, float& right) noexcept { processor.applyAtomizeStage (left, right); }
    void makeCutCoefficients (float frequency, float cutDb, float q, BiquadCoefficients& coefficients) const noexcept
    {
        processor.makeCutCoefficients (frequency, cutDb, q, coefficients);
    }
    void extractFeatures (const float* left, const float* right, int numSamples) noexcept
    {
        processor.extractFeatures (left, right, numSamples);
    }

    double getSampleRate() const noexcept        { return processor.getSampleRate(); }
    double getProcessSampleRate() const noexcept { return processor.getProcessSampleRate(); }

    //==============================================================================
    // Wave player: decoding here on the message thread, playing in the player
    /** Decodes the file for the player itself (at most `maxPlayerFrames` frames). */
    void loadWavePlayerFile (const juce::File& file);
    /** Plays the main window's decoded copy of the file it has just loaded; decodes only when
        that copy is missing. */
    void loadWavePlayerFile (const juce::File& file, SharedDecodedAudio decoded);
    int renderWavePlayer (float* left, float* right, int numFrames, double deviceSampleRate)
    {
        return wavePlayer.render (left, right, numFrames, deviceSampleRate);
    }

    /** The LOAD button's road: opens the chooser, whose result goes to `loadChosenFile`. */
    void openLoadChooser();
    void loadChosenFile (const juce::FileChooser& chooser) { loadChosenFile (chooser.getResult()); }
    /** Loads the chosen file into the player with its overview; resets the analysis for it.
        Anything that is not a readable audio file changes nothing. */
    void loadChosenFile (const juce::File& file);

    FinalizerWavePlayer& getWavePlayer() noexcept { return wavePlayer; }

    bool wavePlayerPlaying() const noexcept        { return playing.load (std::memory_order_relaxed); }
    std::int64_t wavePlayerLength() const noexcept { return playerLength.load (std::memory_order_relaxed); }
    bool wavePlayerHasSamples() const noexcept     { return wavePlayer.hasSamples.load (std::memory_order_relaxed); }

    //==============================================================================
    // Message thread
    void timerCallback() override;
    void paint (juce::Graphics& g) override;
    void resized() override;

    /** Recomputes the drawn curve from the tone gains. */
    void updateToneCurve();
    /** Sets every curve point's gain to 0 dB. */
    void resetCurve();
    /** Designs the (display-only) subsonic high-pass from `subsonicHz`. */
    void updateSubsonicFilter();
    /** Switches the full panel's view tab. */
    void setView (int viewIndex);

    /** Raises `peak` to `value` unless another thread already stored more. */
    static void raisePeak (std::atomic<float>& peak, float value) noexcept { FinalizerProcessor::raisePeak (peak, value); }
    /** Multiplies `peak` by `factor` without losing a rise stored meanwhile. */
    static void decayPeak (std::atomic<float>& peak, float factor) noexcept { FinalizerProcessor::decayPeak (peak, factor); }

    static constexpr float peakDecayPerTick = 0.9995f;

    //==============================================================================
    // Analysis (message thread)
    using IssueRegion = ::IssueRegion;

    /** The processed output described in a few lines for the "SIGNAL CHARACTER" text. */
    juce::String describeSignalCharacter() const { return describeSignalCharacter (readMeters().features); }
    static juce::String describeSignalCharacter (const FinalizerFeatures& features);

    /** Measures up to `analysisWindowFrames` frames of the player's file from its position,
        learns the baseline and files issue markers; the classifier runs every
        `classifierInterval` analysed windows. Called by the 1000 Hz timer. */
    void analysePlaybackWindow();
    /** Files an issue, or refreshes the one of the same kind filed close by. */
    void addIssueMarker (int kind, float position, float severity, float value, const juce::String& text);

    static constexpr int analysisWindowFrames = 2048;
    static constexpr int classifierInterval = 30;

    MixAnalyser mixAnalyser;
    std::vector<IssueMarker> issueMarkers;
    static constexpr size_t maxIssueMarkers = 20;

    // The last analysed window (linear values unless named in dB)
    float windowRmsLeft = 0.0f, windowRmsRight = 0.0f;
    float windowPeakLeft = 0.0f, windowPeakRight = 0.0f;
    float windowCorrelation = 1.0f;
    float windowDcOffset = 0.0f;
    float windowCrestDb = 20.0f;
    float windowMeanAbs = 0.0f;        // the low-end measure
    float windowMeanAbsDiff = 0.0f;    // the high-end measure

    /** Analysed windows since the classifier last ran. */
    int mlStepCounter = 0;

    /** Name, range text and description of each full-panel control, for the hover help. */
    std::map<juce::Component*, KnobInfo> helpTexts;

    std::function<void (const juce::File&)> onFileLoaded;
    std::function<void (const juce::File&, int bitDepth, int sampleRate, bool cdMaster, bool flac)> onExportRequested;

    TavroFinalizerHUD* const hud;

    SilverKnobLookAndFeel knobLookAndFeel;

private:
    // Declared ahead of the names that refer into them.
    FinalizerProcessor processor { *this };
    FinalizerWavePlayer wavePlayer;

public:
    //==============================================================================
    // Player state shared with the audio thread
    std::atomic<bool>& playing = wavePlayer.playing;
    std::atomic<bool>& looping = wavePlayer.looping;
    std::atomic<double>& playPosition = wavePlayer.playPosition;
    std::atomic<int>& playerSampleRate = wavePlayer.sampleRate;
    std::atomic<int>& playerChannels = wavePlayer.channels;
    std::atomic<std::int64_t>& playerLength = wavePlayer.length;

    /** The most frames the player holds, whichever road the file came by. */
    std::int64_t maxPlayerFrames = DecodedAudio::maxMemoryFrames;

    static constexpr int overviewPoints = 4000;
    /** Peak per segment of the file chosen through LOAD (message thread). */
    std::vector<float> waveOverview;
    /** The name of the file chosen through LOAD. */
    juce::String loadedFileName;
    std::unique_ptr<juce::FileChooser> loadChooser;

    juce::TextButton playButton, stopButton, loopButton;
    juce::Slider zoomSlider;

    int currentView = 2;
    float zoom = 1.0f;
    float scrollOffset = 0.0f;
    int colourPresetIndex = 0;
    float animationTime = 0.0f;

    std::array<CurvePoint, 96> curvePoints;
    std::array<DynamicsBand, 4> dynamicsBands;

    // The processing parameters (bypassed, the tone gains, band widths, drives and modes, width,
    // asymmetry, rotation, ceiling, the character amounts, output gain and mixes) come from
    // FinalizerSettings.
    static constexpr std::array<float, 5> crossoverHz = FinalizerProcessor::crossoverHz;
    static constexpr float motionRateHz = FinalizerProcessor::motionRateHz;

    //==============================================================================
    // Full panel parameters: message thread only; nothing in the processing reads them.
    float limiterReleaseMs = 100.0f;
    float stereoWidthAmount = 1.0f;
    float saturationDrive = 0.0f;
    float saturationMix = 0.5f;
    int saturationType = 0;
    float eqSmoothing = 0.2f;
    int subsonicHz = 0;
    int filterSlope = 12;
    std::array<float, 5> subsonicFilter { 1.0f, 0.0f, 0.0f, 0.0f, 0.0f };
    bool invertLeft = false, invertRight = false;
    int channelRouting = 0;
    int editMode = 0;
    float brushSize = 3.0f;
    float msBalance = 0.0f, lrBalance = 0.0f;
    float lowWidth = 0.0f, midWidth = 1.0f, highWidth = 1.0f;
    float lowCrossoverHz = 120.0f, highCrossoverHz = 8000.0f;
    float secondHarmonic = 0.6f, thirdHarmonic = 0.35f, upperHarmonics = 0.15f;
    float satLowCutHz = 80.0f, satHighCutHz = 8000.0f;
    bool multibandSat = false;
    int limiterCharacter = 0;
    float lookaheadMs = 2.0f;
    bool linkChannels = true, truePeak = true;
    int ditherType = 1;
    int bitDepth = 16;
    float noiseShaping = 0.5f;
    bool autoBlank = true;
    float morph = 0.0f;
    int oversampling = 1;

    //==============================================================================
    // Meters: the audio thread raises them, the timer lets them fall.
    std::atomic<float>& peakLeft = processor.peakLeft;
    std::atomic<float>& peakRight = processor.peakRight;

    const float integratedLufs = -14.0f;
    const float shortTermLufs = -12.0f;
    const float momentaryLufs = -10.0f;
    const float loudnessRange = 8.0f;

    //==============================================================================
    // Full panel controls, in the order they are built
    juce::Label titleLabel;
    std::array<juce::TextButton, 3> viewTabs;
    juce::TextButton bypassButton, hudButton, loadButton, exportButton;

    ParamSlider inputGainSlider;
    /** The "DC" switch; the processing reads its mirrored state. */
    ParamToggle dcFilterButton { "DC" };
    juce::ComboBox subsonicBox, filterSlopeBox;
    juce::TextButton phaseInvertLeftButton, phaseInvertRightButton;
    juce::ComboBox channelRoutingBox;

    juce::Slider eqSmoothingSlider;
    juce::TextButton resetEqButton, linearPhaseButton, matchEqButton, captureButton;
    juce::ComboBox editModeBox;
    juce::Slider brushSizeSlider;

    struct DynamicsStrip
    {
        juce::Slider threshold, ratio, attack, release, makeup, transientAttack, transientSustain;
        juce::TextButton solo, mute, expander;
    };
    std::array<DynamicsStrip, 4> dynamicsStrips;
    std::array<juce::Slider, 3> crossoverSliders;

    juce::Slider stereoWidthSlider;
    juce::TextButton monoLowButton;
    juce::Slider msBalanceSlider, lrBalanceSlider, lowWidthSlider, midWidthSlider, highWidthSlider;
    juce::Slider lowCrossoverSlider, highCrossoverSlider;

    juce::Slider driveSlider, satMixSlider;
    std::array<juce::TextButton, 3> satTypeButtons;
    juce::Slider secondHarmonicSlider, thirdHarmonicSlider, upperHarmonicsSlider;
    juce::Slider satLowCutSlider, satHighCutSlider;
    juce::TextButton multibandSatButton;

    ParamSlider ceilingSlider;
    juce::Slider limiterReleaseSlider, lookaheadSlider;
    ParamSlider outputGainSlider;
    juce::ComboBox characterBox;
    juce::TextButton linkButton, truePeakButton;

    juce::ComboBox ditherTypeBox, bitDepthBox;
    juce::Slider noiseShapingSlider;
    juce::TextButton autoBlankButton;
    juce::ComboBox oversamplingBox;

    std::array<juce::TextButton, 4> slotButtons;
    juce::TextButton copyButton;
    juce::Slider morphSlider;
    juce::TextButton presetsButton, undoButton, redoButton;

    const DspState& audioState() const noexcept { return processor.audioState(); }

private:
    /** The player's file, its first `maxPlayerFrames` frames, through the main window's loader. */
    audiofile::LoadResult decodeForPlayer (const juce::File& file) const;
    static std::vector<float> buildOverview (const DecodedAudio& audio, std::int64_t frames);

    void buildControls();
    void tickPlayer();
    void ageIssueMarkers();
    void feedHud();
    void learnBaseline (float levelDb, float peakDb);
    void fileThresholdIssues (float position, float levelDb, float peakDb);
    void updateHealthScore();
    void runClassifierStep (const float* left, const float* right, int frames, float position);

    std::uint32_t renderCallsSeen = 0;
    static constexpr int renderOwnershipTicks = 250;
    int ticksSinceRender = renderOwnershipTicks;

    TavroAI::AIEngine aiEngine;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TavroFinalizer)
};
