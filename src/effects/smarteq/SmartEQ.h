#pragma once

#include "controls/ParamSlider.h"
#include "effects/smarteq/SmartEQDsp.h"
#include "effects/smarteq/SmartEQProcessor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <atomic>
#include <cstdint>

/** The six-band dynamic equaliser's panel: band records that the controls, the presets, the
    reset and the randomiser's macro EQ write on the message thread, and the processor it owns,
    which the effect chain runs on the audio thread.

    The audio thread never reads the band records themselves: every change publishes a copy
    of all six bands to the processor as one set, and the global knobs write its atomics. */
class SmartEQ : public juce::Component,
                private juce::Timer
{
public:
    static constexpr int numBands = smarteq::numBands;

    using FilterType = smarteq::FilterType;

    /** One band's settings. The filter state, the detector envelope and the motion phase belong
        to the audio thread; read them through getEnvelopeDb and getMotionPhase. */
    struct Band
    {
        bool enabled = true;
        std::int32_t filterType = smarteq::bell;
        float frequencyHz = 1000.0f;
        float gainLeftDb = 0.0f;
        float gainRightDb = 0.0f;
        float q = 1.0f;
        bool linkStereo = true;
        float mixPct = 100.0f;
        bool dynamicOn = false;
        float thresholdDb = -20.0f;
        float ratio = 2.0f;
        float attackMs = 10.0f;
        float releaseMs = 100.0f;
        float saturationPct = 0.0f;
        bool driveOn = false;
        bool softClip = false;
        bool tubeMode = false;
        float widthPct = 100.0f;
        bool motionOn = false;
        float motionRateHz = 1.0f;
        float motionDepthPct = 0.0f;
        bool syncBpm = false;
        float slopeDbPerOct = 12.0f;
        float trimDb = 0.0f;
        float dynRangeDb = 0.0f;
        float balancePct = 0.0f;
        float divergencePct = 0.0f;
        float freqPanPct = 0.0f;
        float haasMs = 0.0f;
        float phaseOffsetDeg = 0.0f;
        float driveThreshDb = -6.0f;
        float driveAmountPct = 0.0f;
        float harmonicsPct = 0.0f;
        float characterPct = 50.0f;
        float warmthPct = 50.0f;
        float airPct = 50.0f;
        float densityPct = 50.0f;
        float randomGainPct = 0.0f;
        float randomFreqPct = 0.0f;
        float randomQPct = 0.0f;
        float randomIntensityPct = 50.0f;
        bool lockBand = false;
        bool lockFreq = false;
        bool lockGain = false;
        bool linkStereo2 = false;
        bool midMode = false;
        bool sideMode = false;
        bool solo = false;
        bool vocalMode = false;
        bool drumMode = false;
        bool bassMode = false;
        float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
        juce::Colour colour;
        std::uint32_t motionRateWrites = 0;
    };

    /** The four large knobs of a band. */
    enum MacroKnob { dynKnob = 0, satKnob, widKnob, lfoKnob, numMacroKnobs };

    /** The 25 small knobs of a band, in creation order. */
    enum BandKnob
    {
        slopeKnob = 0, mixKnob, trimKnob, thresholdKnob, rangeKnob, attackKnob, releaseKnob,
        motionRateKnob, motionDepthKnob, balanceKnob, divergenceKnob, freqPanKnob, haasKnob,
        phaseKnob, driveThreshKnob, driveAmountKnob, harmonicsKnob, characterKnob, warmthKnob,
        airKnob, densityKnob, randomGainKnob, randomFreqKnob, randomQKnob, randomIntensityKnob,
        numBandKnobs
    };

    /** The 18 toggles of a band, in creation order. */
    enum BandToggle
    {
        linkStereoToggle = 0, linkStereo2Toggle, midToggle, sideToggle, enableToggle, soloToggle,
        dynToggle, motionToggle, bpmToggle, driveToggle, softToggle, tubeToggle, lockBandToggle,
        lockFreqToggle, lockGainToggle, vocalToggle, drumToggle, bassToggle, numBandToggles
    };

    SmartEQ();
    ~SmartEQ() override;

    //==============================================================================
    // Audio engine

    /** Stores the device rate and recomputes every band's filter. Message thread (device start),
        with no block in flight. */
    void prepare (double newSampleRate);

    /** Recomputes band `band`'s coefficients from its settings and publishes them. Message thread. */
    void updateFilters (int band);

    /** Processes the block in place through the processor. Audio thread; returns at once while
        bypassed. */
    void process (float* left, float* right, int numSamples) noexcept { processor.process (left, right, numSamples); }

    /** The chain's activity test: not bypassed and at least one band on. Any thread. */
    bool isActive() const noexcept { return processor.isActive(); }

    /** The sound of this panel, for the effect chain. */
    SmartEQProcessor& getProcessor() noexcept { return processor; }

    //==============================================================================
    // Presets, reset and the randomiser's EQ group (message thread)

    void showPresetMenu();
    void applyPreset (int itemId);
    void resetToDefaults();
    void applyMacroEq (float amountPct, const std::array<float, numBands>& gainsDb);
    void applyMacroEq (float amountPct, const float* gainsDb);

    /** The macro knobs' per-band values, the same for all six bands. */
    struct MacroBandSettings
    {
        float thresholdDb, attackMs, releaseMs, drivePct, characterPct, airPct, densityPct,
              motionRateHz, motionDepthPct;
        bool dynamics;
    };

    /** Sets the nine band knobs of every band (and, with `dynamics`, the DYN knob to 50)
        without running their callbacks, and publishes the matching band records as one set.
        Each knob's range limits what it takes. */
    void applyMacroBandSettings (const MacroBandSettings& settings);

    //==============================================================================
    // Fields and controls other parts of the system read or write (message thread)

    bool isBypassed() const noexcept { return processor.isBypassed(); }
    void setBypassed (bool shouldBeBypassed);

    bool isBandEnabled (int band) const;
    void setBandEnabled (int band, bool shouldBeEnabled);

    const Band& getBand (int band) const;

    /** Changes a band's record in one step: `change (Band&)` runs, then the band's
        coefficients are recomputed and the whole set is published. */
    template <typename Fn>
    void modifyBand (int band, Fn&& change)
    {
        auto& rec = bands[(size_t) juce::jlimit (0, numBands - 1, band)];
        const auto rateBefore = rec.motionRateHz;
        change (rec);
        if (rec.motionRateHz != rateBefore)
            ++rec.motionRateWrites;
        updateFilters (band);
    }

    /** The same for all six bands at once, `change (Band&, int band)`, published as one set. */
    template <typename Fn>
    void modifyAllBands (Fn&& change)
    {
        const PublishBatch batch (*this);
        for (int b = 0; b < numBands; ++b)
            modifyBand (b, [&] (Band& rec) { change (rec, b); });
    }

    juce::Slider& getMacroKnob (int band, MacroKnob which);
    juce::Slider& getBandKnob (int band, BandKnob which);
    juce::ToggleButton& getBandToggle (int band, BandToggle which);
    juce::Slider& getGainFader (int band, bool rightSide);
    juce::Slider& getFrequencySlider (int band);
    juce::Slider& getQSlider (int band);
    juce::ComboBox& getTypeBox (int band);
    ParamSlider& getOutputGainKnob() noexcept { return outputGainKnob; }
    ParamSlider& getGlobalMixKnob() noexcept { return globalMixKnob; }
    ParamToggle& getMonoButton() noexcept { return monoButton; }
    juce::TextButton& getBypassButton() noexcept { return bypassButton; }
    juce::TextButton& getPresetsButton() noexcept { return presetsButton; }
    juce::String getStatusText() const { return statusLabel.getText(); }

    double getSampleRate() const noexcept { return processor.getSampleRate(); }

    /** What the audio thread last reported for a band's detector, oscillator and motion rate. */
    float getEnvelopeDb (int band) const noexcept   { return processor.getEnvelopeDb (band); }
    float getMotionPhase (int band) const noexcept  { return processor.getMotionPhase (band); }
    float getMotionRateHz (int band) const noexcept { return processor.getMotionRateHz (band); }

    /** The graph's approximate response at `frequencyHz`, in dB. */
    float getDisplayResponseDb (float frequencyHz) const;

    /** The set the audio thread used for its last block. Call only from the thread that runs
        process (tests check that every block ran on one whole published set). */
    const smarteq::Snapshot& getAudioSnapshot() const noexcept { return processor.getAudioSnapshot(); }

    //==============================================================================
    void paint (juce::Graphics&) override;
    void resized() override;

private:
    struct BandControls
    {
        juce::Label numberLabel;
        juce::ComboBox typeBox;
        juce::Slider frequencySlider;
        juce::Slider gainLeftFader, gainRightFader;
        juce::Slider qSlider;
        std::array<juce::Slider, numMacroKnobs> macroKnobs;
        std::array<juce::Label, numMacroKnobs> macroCaptions;
        std::array<juce::Slider, numBandKnobs> knobs;
        std::array<juce::Label, numBandKnobs> knobCaptions;
        std::array<juce::ToggleButton, numBandToggles> toggles;
    };

    void timerCallback() override;

    void buildBandControls (int band);
    void buildGlobalControls();
    void onGainFaderChanged (int band, bool rightSide);
    void onMacroKnobChanged (int band, MacroKnob which);
    void onToggleClicked (int band, BandToggle which);
    void setToggleSilently (int band, BandToggle which, bool state);

    void applyFactoryPreset (int presetId);

    /** Copies all six bands into the shared slot, unless a batch is open. */
    void publish();

    struct PublishBatch
    {
        explicit PublishBatch (SmartEQ& o) : owner (o) { ++owner.batchDepth; }
        ~PublishBatch() { if (--owner.batchDepth == 0) owner.publish(); }
        SmartEQ& owner;
    };

    Band& band (int b) { return bands[(size_t) b]; }

    //==============================================================================
    SmartEQProcessor processor;
    std::array<Band, numBands> bands;

    std::array<BandControls, numBands> bandControls;
    std::array<int, numBands> lastGainEdited {};

    ParamSlider outputGainKnob, globalMixKnob;
    ParamToggle monoButton { "MONO" };
    juce::TextButton viewButton { "VIEW" }, bypassButton { "BYPASS" }, hudButton { "HUD" },
                     hud2Button { "HUD 2" }, presetsButton { "PRESETS" };
    juce::Label statusLabel;

    std::array<juce::TextButton, numBands * 6> groupButtons;
    std::array<juce::Label, numBands * 6> groupLabels;

    int batchDepth = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SmartEQ)
};
