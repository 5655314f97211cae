#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "controls/HeadsUpDisplay.h"
#include "controls/ParamSlider.h"
#include "controls/SilverKnobLookAndFeel.h"
#include "effects/finalizer/FinalizerFeatures.h"
#include "effects/finalizer/TavroAI.h"
#include "effects/finalizer/TavroFinalizerHUD.h"
#include "dsp/PodSnapshot.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

/** One second-order section with separate left and right histories (direct form I). */
struct StereoBiquad
{
    float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
    float xl1 = 0.0f, xl2 = 0.0f, yl1 = 0.0f, yl2 = 0.0f;
    float xr1 = 0.0f, xr2 = 0.0f, yr1 = 0.0f, yr2 = 0.0f;

    void clearHistory() noexcept { xl1 = xl2 = yl1 = yl2 = xr1 = xr2 = yr1 = yr2 = 0.0f; }
    bool historyIsFinite() const noexcept;

    // The feed-forward and feedback terms of each delay are paired so that a section whose
    // numerator equals its denominator (a peaking filter at 0 dB) is exactly transparent: the
    // histories then stay equal and each pair cancels to zero instead of accumulating rounding
    // error through the poles.
    inline void process (float& left, float& right) noexcept
    {
        const float yl = b0 * left + (b1 * xl1 - a1 * yl1) + (b2 * xl2 - a2 * yl2);
        xl2 = xl1; xl1 = left; yl2 = yl1; yl1 = yl;
        const float yr = b0 * right + (b1 * xr1 - a1 * yr1) + (b2 * xr2 - a2 * yr2);
        xr2 = xr1; xr1 = right; yr2 = yr1; yr1 = yr;
        left = yl;
        right = yr;
    }
};

/** The five coefficients of a section, without its state. */
struct BiquadCoefficients
{
    float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
};

/** Writes the peaking-filter coefficients for `gainDb` at `frequency` into `filter`
    (computed in double precision, stored as floats; the histories are left alone). */
void makePeakingCoefficients (StereoBiquad& filter, double sampleRate, double frequency, double gainDb, double q);

/** An issue filed by the playback analysis; aged by the finalizer's timer. */
struct IssueMarker
{
    int kind = 0;
    float position = 0.0f;
    float severity = 0.0f;
    float value = 0.0f;
    juce::String text;
    float rise = 0.0f;
    float life = 3.0f;
    bool visible = true;
};

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

/** The mastering stage: equaliser, six-band saturation and width, rotation, ceiling, the two
    character stages and output gain, with its meters, features, player and timer. It is also
    a full control panel of its own, which the main window never shows. */
class TavroFinalizer : public juce::Component,
                       public juce::Timer
{
public:
    explicit TavroFinalizer (TavroFinalizerHUD* hudToFeed);
    ~TavroFinalizer() override;

    //==============================================================================
    // Audio side (audio thread unless stated)
    void prepare (double newSampleRate, int blockSize);
    void process (juce::AudioBuffer<float>& buffer);

    /** Recomputes the five equaliser sections from the tone gains and hands them to the audio
        thread as one set. Message thread, or the prepare step. */
    void updateEqCoefficients();

    /** The latest block's meters and features, as one consistent copy (message thread). */
    FinalizerMeters readMeters() const;

    static float toGain (float dB) noexcept;

    void applyDistStage (float& left, float& right) noexcept;
    void applyAtomizeStage (float& left, float& right) noexcept;
    void makeCutCoefficients (float frequency, float cutDb, float q, BiquadCoefficients& coefficients) const noexcept;
    void extractFeatures (const float* left, const float* right, int numSamples) noexcept;

    double getSampleRate() const noexcept { return sampleRate.load (std::memory_order_relaxed); }
    double getProcessSampleRate() const noexcept { return processSampleRate.load (std::memory_order_relaxed); }

    //==============================================================================
    // Wave player
    void loadWavePlayerFile (const juce::File& file);
    int renderWavePlayer (float* left, float* right, int numFrames, double deviceSampleRate);

    bool wavePlayerPlaying() const noexcept        { return playing.load (std::memory_order_relaxed); }
    std::int64_t wavePlayerLength() const noexcept { return playerLength.load (std::memory_order_relaxed); }
    bool wavePlayerHasSamples() const noexcept     { return playerHasSamples.load (std::memory_order_relaxed); }

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
    static void raisePeak (std::atomic<float>& peak, float value) noexcept;
    /** Multiplies `peak` by `factor` without losing a rise stored meanwhile. */
    static void decayPeak (std::atomic<float>& peak, float factor) noexcept;

    static constexpr float peakDecayPerTick = 0.9995f;

    //==============================================================================
    std::vector<IssueMarker> issueMarkers;
    static constexpr size_t maxIssueMarkers = 20;

    /** Name, range text and description of each full-panel control, for the hover help. */
    std::map<juce::Component*, KnobInfo> helpTexts;

    std::function<void (const juce::File&)> onFileLoaded;
    std::function<void (const juce::File&, int bitDepth, int sampleRate, bool cdMaster, bool flac)> onExportRequested;

    TavroFinalizerHUD* const hud;

    SilverKnobLookAndFeel knobLookAndFeel;

    //==============================================================================
    // Player state shared with the audio thread
    std::atomic<bool> playing { false }, looping { false };
    std::atomic<double> playPosition { 0.0 };
    std::atomic<int> playerSampleRate { 44100 };
    std::atomic<int> playerChannels { 2 };
    std::atomic<std::int64_t> playerLength { 0 };

    /** The most frames the main-file road copies into the player. */
    std::int64_t maxPlayerFrames = 14400000;

    juce::TextButton playButton, stopButton, loopButton;
    juce::Slider zoomSlider;

    int currentView = 2;
    float zoom = 1.0f;
    float scrollOffset = 0.0f;
    int colourPresetIndex = 0;
    float animationTime = 0.0f;

    std::array<CurvePoint, 96> curvePoints;
    std::array<DynamicsBand, 4> dynamicsBands;

    //==============================================================================
    // Processing parameters: written on the message thread, read once per block by the audio
    // thread. Each is an atomic so that every value arrives whole.
    std::atomic<bool> bypassed { false };
    std::atomic<float> inputGainDb { 0.0f };
    std::atomic<float> subDb { 0.0f }, bodyDb { 0.0f }, presenceDb { 0.0f }, airDb { 0.0f };
    std::atomic<float> tameDb { 0.0f }, tiltDb { 0.0f };
    std::array<std::atomic<float>, 6> bandWidth;
    std::array<std::atomic<float>, 6> bandDrive;
    std::array<std::atomic<int>, 6> bandMode;
    std::atomic<float> width { 1.0f };
    std::atomic<float> asymmetryDeg { 0.0f };
    std::atomic<float> rotateDeg { 0.0f };
    std::atomic<float> ceilingDb { -1.0f };
    std::atomic<float> densityAmount { 0.3f }, articAmount { 0.25f }, residueAmount { 0.2f };
    std::atomic<float> motionAmount { 0.0f };
    std::atomic<float> aboveAmount { 0.0f }, belowAmount { 0.0f };
    std::atomic<float> outputGainDb { 0.0f };
    std::atomic<float> leftMix { 1.0f }, rightMix { 1.0f };

    static constexpr std::array<float, 5> crossoverHz { 60.0f, 180.0f, 500.0f, 2500.0f, 6000.0f };
    static constexpr float motionRateHz = 0.6f;

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
    std::atomic<float> peakLeft { 0.0f }, peakRight { 0.0f };

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

    /** Twelve values the Korrupt engine writes; nothing here reads them. */
    std::array<std::atomic<float>, 12> korruptBandInputs;

    //==============================================================================
    // Audio-thread processing state. Readable for the tests that pin its behaviour; only the
    // audio thread (and the prepare step) writes it.
    struct DspState
    {
        std::array<StereoBiquad, 5> eqBands;
        StereoBiquad dcFilter;
        std::array<float, 5> crossoverCoef {};
        std::array<float, 5> crossoverStateLeft {}, crossoverStateRight {};

        float densityEnvelope = 0.0f, articEnvelope = 0.0f, articPrevEnvelope = 0.0f;
        float residueState = 0.0f, motionPhase = 0.0f;

        float abovePhase = 0.0f, belowPhase = 0.0f;
        BiquadCoefficients aboveCoefs, belowCoefs;
        std::array<float, 4> aboveHistoryLeft {}, aboveHistoryRight {};
        std::array<float, 4> belowHistoryLeft {}, belowHistoryRight {};
        std::array<float, 2> aboveSmooth {}, aboveLowpass {}, belowSmooth {}, belowLowpass {};

        float midRms = 0.0f, sideRms = 0.0f;
        FinalizerFeatures features;
    };

    const DspState& audioState() const noexcept { return dsp; }

private:
    // The character stages' amounts, read once at the start of each block.
    struct BlockParams
    {
        float density = 0.3f, artic = 0.25f, residue = 0.2f, motion = 0.0f, above = 0.0f, below = 0.0f;
        float processRate = 48000.0f, atomizeRate = 48000.0f;
        float aboveGain = 1.0f, belowGain = 1.0f;
    };

    void buildControls();
    void designCut (float frequency, float a, float q, BiquadCoefficients& coefficients) const noexcept;
    void pullEqCoefficients() noexcept;
    void publishMeters() noexcept;
    void resetAudioState() noexcept;
    void restIdleStages() noexcept;
    bool audioStateIsFinite() const noexcept;
    void tickPlayer();
    void ageIssueMarkers();
    void feedHud();
    void analysePlaybackWindow();

    std::atomic<double> sampleRate { 44100.0 };
    std::atomic<double> processSampleRate { 48000.0 };

    DspState dsp;
    BlockParams blockParams;

    // Equaliser sets, handed over whole; a block that cannot take a new set at once keeps
    // the previous one.
    PodSnapshot<std::array<BiquadCoefficients, 5>> eqSnapshot;

    // Meters: the audio thread publishes under a try-lock, skipping a block when busy.
    mutable juce::SpinLock meterLock;
    FinalizerMeters sharedMeters;

    // Player samples: replaced whole on the message thread, read by the render while it
    // holds the try-lock.
    struct PlayerData
    {
        std::vector<float> samples;
        int channels = 2;
        std::int64_t length = 0;
    };
    juce::SpinLock playerLock;
    std::unique_ptr<PlayerData> playerData;
    std::atomic<bool> playerHasSamples { false };
    std::atomic<bool> playerEnded { false };
    std::atomic<std::uint32_t> renderCalls { 0 };
    std::uint32_t renderCallsSeen = 0;
    static constexpr int renderOwnershipTicks = 250;
    int ticksSinceRender = renderOwnershipTicks;

    TavroAI::AIEngine aiEngine;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TavroFinalizer)
};
