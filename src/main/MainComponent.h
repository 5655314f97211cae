#pragma once

#include "controls/HeadsUpDisplay.h"
#include "controls/InscriptionLookAndFeel.h"
#include "controls/SilverKnobLookAndFeel.h"
#include "controls/WaveformView.h"
#include "effects/atomizer/Atomizer.h"
#include "effects/delayverb/DelayVerb.h"
#include "effects/distortion/DistortionSuite.h"
#include "effects/timepro/HeightAndWeight.h"
#include "effects/stereoutility/StereoUtilityMax.h"
#include "effects/dictionary/DictionaryReader.h"
#include "effects/finalizer/FinalizerPanel.h"
#include "effects/finalizer/TavroFinalizer.h"
#include "effects/finalizer/TavroFinalizerHUD.h"
#include "effects/imager/MultiEffectImagerPro.h"
#include "effects/smarteq/SmartEQ.h"
#include "dsp/EventHandoff.h"
#include "engines/KorruptEngine.h"
#include "engines/MashEngine.h"
#include "knobs/KorruptKnob.h"
#include "knobs/MashKnob.h"
#include "knobs/MasterControlKnob.h"
#include "knobs/MathControlKnob.h"
#include "knobs/MetaControlKnob.h"
#include "knobs/OblivionKnob.h"
#include "knobs/PanKnob.h"
#include "knobs/PandoraKnob.h"
#include "knobs/PitchKnob.h"
#include "knobs/SpatialMaxKnob.h"
#include "knobs/StutterKnob.h"
#include "knobs/TextureProKnob.h"
#include "knobs/ToneMaxEngines.h"
#include "knobs/VolumeKnob.h"
#include "main/MacroKnobIndex.h"
#include "main/ParameterRandomiser.h"
#include "main/SpectralProcessor.h"
#include "main/audio/AudioEngine.h"
#include "main/chain/RoutingState.h"
#include "main/ui/MainTimerSteps.h"
#include "recording/RecordingWindow.h"

#include <juce_audio_utils/juce_audio_utils.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

class MainComponentTestAccess;
class MainComponentChainAccess;
class MainComponentRoadAccess;
class MainComponentMacroAccess;
class MainComponentEnginesAccess;
class MainComponentPresetAccess;

/** A recorded macro-knob move: sample position, knob and value (0..100, MasterPro 0..19). */
struct AutomationEvent
{
    std::int64_t position = 0;
    int knob = 0;
    float value = 0.0f;
};

/** The main window's content and the application's audio source. It owns every panel,
    display, knob, engine, buffer and sub-window by value, builds them in one fixed order,
    opens the audio device last and takes everything down again in reverse after the timer
    and the audio have stopped.

    The class is split by concern over several source files: construction and teardown,
    layout and painting, the audio callbacks, and the control handlers. */
class MainComponent : public juce::AudioAppComponent,
                      private juce::Button::Listener,
                      private juce::KeyListener,
                      private juce::MidiInputCallback,
                      public juce::FileDragAndDropTarget,
                      private juce::Timer
{
public:
    MainComponent();
    ~MainComponent() override;

    //==============================================================================
    // Component
    void mouseDown (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;
    void resized() override;

    // Audio source
    void prepareToPlay (int samplesPerBlockExpected, double sampleRate) override;
    void releaseResources() override;
    void getNextAudioBlock (const juce::AudioSourceChannelInfo& bufferToFill) override;

    // File drag and drop
    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;

    //==============================================================================
    /** The one main component of the process; null while none exists. */
    static MainComponent* mainComponentInstance;

    /** The loaded audio's length in seconds; 0 while no component exists or nothing is loaded. */
    static double getAudioLengthSeconds();

    /** Whether the prepare step has run to its end (and no file load holds the chain back). */
    bool isAudioReady() const noexcept { return audioReady.load(); }

    /** FREEZE: stops the randomiser's groups from being regenerated. */
    void toggleFreeze();

    /** Panel buttons in row order; the caption of each is its state at construction. */
    std::array<juce::TextButton*, 9> getPanelButtons() noexcept;

    // The chain's hidden panel-state integers: -1 hidden, 0 or more shown.
    static constexpr int panelHidden = -1;

private:
    friend class MainComponentTestAccess;
    friend class MainComponentChainAccess;
    friend class MainComponentRoadAccess;
    friend class MainComponentMacroAccess;
    friend class MainComponentEnginesAccess;
    friend class MainComponentPresetAccess;

    struct SamplerVoice
    {
        bool active = false;
        int note = 60;
        double position = 0.0;
        double ratio = 1.0;
        float gainLeft = 1.0f, gainRight = 1.0f;
        bool releasing = false;
    };

    struct LoopSequenceEntry
    {
        int portion = 0;
        int repeats = 0;
    };

    /** Right-clicks on KEYS open the keyboard-sampler menu. One per component: a listener that
        outlived its component would reach a deleted owner. */
    struct KeysButtonMouseListener : public juce::MouseListener
    {
        explicit KeysButtonMouseListener (MainComponent& o) : owner (o) {}
        void mouseDown (const juce::MouseEvent& e) override;
        MainComponent& owner;
    };

    //==============================================================================
    // Framework callbacks handled in the handler source file.
    void buttonClicked (juce::Button* button) override;
    using juce::Component::keyPressed;
    using juce::Component::keyStateChanged;
    bool keyPressed (const juce::KeyPress& key, juce::Component* originatingComponent) override;
    bool keyStateChanged (bool isKeyDown, juce::Component* originatingComponent) override;
    void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override;
    void timerCallback() override;

    //==============================================================================
    // Construction steps that stand on their own.
    void initKeyNoteMap();
    void refreshMidiDevices();
    void loadMidiMappings();
    void setUpPanels();
    void setUpPanelButton (juce::TextButton& button, juce::Component* hud, const juce::String& text,
                           std::function<void()> onClick);
    void setUpTempoControls();

    // Handlers that the control Parts fill in; each is wired by the constructor.
    void showRoutingMenu();
    void keysButtonClicked();
    void showKeysMenu();
    void showMidiMenu();
    void syncButtonClicked();
    void showMidiLearnMenu();
    void recButtonClicked();
    void autoButtonClicked();
    void revButtonClicked();
    void playRevButtonClicked();
    void meterButtonClicked();
    void tapButtonClicked();
    void tempoEntered();

    void toneMaxChanged (float value);
    void spatialMaxChanged (float value);
    void spatialMaxOverdriveChanged (bool overdrive);
    void masterProLevelChanged (int level);
    void textureProChanged (float value);
    void metaControlChanged (float value);
    void mathControlChanged (float value);
    void writeToneMaxCouplings (float e, float mash, float korrupt, float pandora);
    void handleTextureProMenuResult (int id);
    void handleMasterControlMenuResult (int id);

    void showOblivionMenu();
    void handleOblivionMenuResult (int id);
    void showSpatialMaxMenu();
    void showMasterControlMenu();
    void showTextureProMenu();
    void showMetaControlMenu();
    void showMathControlMenu();
    void handleMathControlMenuResult (int id);

    /** A macro-knob value that MIDI or automation posted (index 0..5, value 0..1): the knobs
        take it without firing, except MathControl, whose callback follows on a later message. */
    void applyPostedMacroValue (int knobIndex, float value);

    void volumeChanged (float value);
    void pitchChanged (float octaves);
    void pitchModeChanged (bool preserveLength);
    void pitchReleased();
    void panChanged (float pan);
    void widthChanged (float width);

    void waveformSeek (double seconds);
    void waveformLoopRange (double start, double end);
    void recordingWindowClosed();
    void recordingBounced (const juce::File& file);
    void finalizerHudToggled (bool shouldShow);

    void togglePanel (int effectId);
    void showDistortionModeMenu();
    void handleDistortionMenuResult (int id);

    //==============================================================================
    // Effect chain and routing (chain source file).
    bool isEffectActive (int id) const noexcept;
    void runEffectChain (juce::AudioBuffer<float>& buffer, int start, int n) noexcept;
    void publishRouting();
    void handleRoutingMenuResult (int id);
    void showSerialOrderEditor();
    void handleSerialOrderResult (int id);
    void showGroupEditor();
    void handleGroupEditorResult (int id);

    //==============================================================================
    // Main timer steps that other behaviours fill in (handler source file).
    void applyMacroTargets();
    void applyCrushTimingAndStereoTargets();
    void applySpaceTargets();
    void applyTimeProTargets();
    void stepLoopPortions (double displaySeconds);
    void updateSamplerMarkers();
    void applyPanRamp (double playSeconds);

    void loadAudioFile (const juce::File& file);

    //==============================================================================
    // Transport (transport source file).
    void forgetLoadedFile();
    bool loadReversedBuffer();
    void playButtonClicked();
    void stopButtonClicked();
    bool isPlaying() const;
    double getPlaybackPosition() const;
    void finishMemoryPlayback();
    void finishPlayRev();
    void showPlayRevMenu();
    void handlePlayRevMenuResult (int id);
    static juce::String playRevMenuItemText (int itemId, int order);
    void applyPitch (float octaves, bool preserveLength);
    void setBpm (float newBpm);

    /** For the main timer: runs the end-of-pass actions the audio thread left behind and
        refreshes what the audio thread knows about the loaded file and the loop selection. */
    void pollTransportNotices();

    //==============================================================================
    // Main buttons and the ZARIDEZ menu (buttons source file).
    void showLoadChooser();
    void loadChosenFile (const juce::File& file);
    void captureButtonClicked();
    void showBpmDetectionMenu();
    void showPresetMenu();
    void handlePresetMenuResult (int id);
    void setKnobAnimationEnabled (bool shouldAnimate);
    void setKnobAnimationFps (int fps);
    template <typename Fn> void forEachMacroKnob (Fn&& fn);
    void revert();
    void addLoopSequenceEntry (int portion, const juce::String& repeatsText);
    static int parseRepeatCount (const juce::String& text);

    //==============================================================================
    // Preset files (presets source file). The button flashes only when a file was really
    // written or a preset applied; a dialog's failure says so in a warning box.
    juce::var createPresetJson() const;
    bool applyPreset (const juce::var& preset);
    void showSavePresetDialog();
    void showLoadPresetDialog();
    void savePresetToFile (const juce::File& chosen);
    void loadPresetFromFile (const juce::File& chosen);
    bool saveQuickPreset();
    bool loadQuickPreset();
    void showPresetWarning (const juce::String& title, const juce::String& message);

    //==============================================================================
    // Layout helpers (layout source file).
    void layoutHeader (juce::Rectangle<int>& area);
    void layoutSecondRow (juce::Rectangle<int>& area);
    void layoutMacroKnobs (juce::Rectangle<int> header);
    void layoutPanelButtons();
    void layoutPanels (juce::Rectangle<int> area);

    //==============================================================================
    // Members in construction order.
    juce::AudioFormatManager formatManager;

    // The audio road: the transport, meters, output stages and effect chain. The window reads
    // what it shows from the engine and writes its controls' values into the engine's atomics;
    // the names below are the engine's own members, kept so that every handler reads as before.
    AudioEngine audioEngine;

    // The loaded file (one decoded copy, read forwards and backwards), the positions and the
    // playback modes (REV, PLAYREV and its order, varispeed, LOOP) live in the transport, which
    // hands them to the audio thread whole.
    TransportEngine& transport = audioEngine.transport;

    juce::TextButton revButton { "REV" };
    juce::TextButton playRevButton { "PLAYREV" };

    double& currentSampleRate = audioEngine.currentSampleRate;
    int& currentBlockSize = audioEngine.currentBlockSize;
    float& chainTempo = audioEngine.chainTempo;

    KorruptEngine korruptEngine;
    KorruptKnob korruptKnob;
    PandoraKnob pandoraKnob;
    EventHandoff eventHandoff;
    std::unique_ptr<juce::Component> korruptXYGrid;
    std::unique_ptr<juce::DocumentWindow> korruptXYWindow;
    MashEngine mashEngine;
    MashKnob mashKnob;

    OblivionKnob toneMaxKnob;
    float toneMaxCouplingAmount = 0.0f;
    SpatialMaxKnob spatialMaxKnob;
    float lastSpatialMaxValue = 0.0f;

    StutterKnob stutterKnob;
    StutterStage& stutter = audioEngine.stutter;

    MasterControlKnob masterProKnob;
    int masterProLevel = 0;
    TextureProKnob textureProKnob;
    MetaControlKnob metaControlKnob;
    MathControlKnob mathControlKnob;

    std::atomic<float>& circuitBendAmount = audioEngine.circuitBendAmount;

    // ToneMax, SpatialMax, TexturePro, MasterPro, MetaControl
    std::array<float, 5> knobMuteMemory { 50.0f, 50.0f, 50.0f, 50.0f, 50.0f };

    bool pitchGlideActive = false;
    float pitchGlideTarget = 0.0f;   // octaves
    float pitchGlideRate = 0.0f;     // octaves per second

    juce::TextButton freezeButton { "FREEZE" };
    std::atomic<bool> frozen { false };
    float freezePulsePhase = 0.0f;
    int knobAnimationFps = 30;
    bool knobAnimationEnabled = true;
    bool pitchReactiveMacro = false;
    float stereoBalancePhase = 0.0f;   // advanced by every stereo-group application

    ParameterRandomiser randomiser;

    juce::TextButton meterButton { "METER" };
    LevelMeter& levelMeter = audioEngine.levelMeter;   // METER's on flag, peaks and RMS

    std::unique_ptr<juce::FileChooser> fileChooser;
    juce::TextButton loadButton { "LOAD WAV" };
    juce::TextButton playButton { "PLAY" };
    juce::TextButton stopButton { "STOP" };
    juce::ToggleButton loopButton { "LOOP" };

    VolumeKnob volumeKnob;
    std::atomic<float>& volumeGain = audioEngine.volumeGain;

    PitchKnob pitchKnob;
    std::atomic<float> pitchRatio { 1.0f };
    SpectralProcessor& pitchSpectralProcessor = audioEngine.pitchSpectralProcessor;

    PanKnob panKnob;
    std::atomic<float>& outputGainLeft = audioEngine.outputGainLeft;
    std::atomic<float>& outputGainRight = audioEngine.outputGainRight;
    std::atomic<float>& stereoWidth = audioEngine.stereoWidth;

    juce::TextButton captureButton { "CAPTURE" };
    juce::TextButton orderButton { "ORDER" };

    // Edited by the routing menus on the message thread; the chain runs the copy last published.
    RoutingState routing;

    std::array<SamplerVoice, 16> samplerVoices {};
    juce::AudioBuffer<float> samplerBuffer;
    std::atomic<int>& samplerLength = audioEngine.samplerLength;
    double samplerFileSampleRate = 44100.0;
    std::atomic<bool>& keysOn = audioEngine.keysOn;
    std::atomic<bool>& keysPreserveLength = audioEngine.keysPreserveLength;
    float samplerLastNote = 0.0f;
    SpectralProcessor& samplerSpectralProcessor = audioEngine.samplerSpectralProcessor;
    float samplerMasterGain = 0.8f;
    float samplerReleaseSeconds = 0.1f;
    std::set<int> heldNotes;
    std::map<int, int> keyNoteMap;
    int samplerOctave = 4;
    juce::TextButton keysButton { "KEYS" };
    KeysButtonMouseListener keysButtonMouseListener { *this };
    juce::Label noteLabel { {}, "C4" };

    std::unique_ptr<juce::MidiInput> midiInput;
    juce::TextButton midiButton { "MIDI" };
    juce::String midiDeviceName { "None" };
    juce::Array<juce::MidiDeviceInfo> midiDevices;
    int midiDeviceIndex = -1;
    std::atomic<bool> midiClockSync { false };
    juce::TextButton syncButton { "SYNC" };

    double midiClockTempo = 120.0;
    int midiClockTickCount = 0;
    double midiClockLastMs = 0.0;
    std::atomic<double> midiClockPeriodMs { 0.0 };
    bool midiClockRunning = false;
    std::atomic<bool> midiActivity { false };
    juce::Label midiActivityLabel;
    MainTimerSteps::MidiLamp midiActivityLamp;

    std::map<int, int> midiCcToKnob, midiKnobToCc;
    bool midiLearnActive = false;
    int midiLearnTarget = -1;
    juce::TextButton learnButton { "LEARN" };

    std::vector<AutomationEvent> automationEvents;
    bool automationRecording = false;
    bool automationPlaying = false;
    std::int64_t automationPlayhead = 0;
    std::uint64_t automationNextIndex = 0;
    juce::TextButton recButton { "REC" }, autoButton { "AUTO" };
    std::array<float, 6> automationLastValues {};
    std::int64_t automationRecordPosition = 0;
    bool automationOriginSet = false;
    std::array<std::int64_t, 6> automationKnobPositions {};
    double automationSampleRate = 44100.0;

    RecordingWindow recordingWindow;

    juce::TextButton bpmDetectButton { "BPM Detection" };
    juce::TextButton tapButton { "TAP" };
    juce::TextEditor bpmEditor;
    juce::Label bpmLabel { {}, "BPM" };
    BeatClock& beatClock = audioEngine.beatClock;

    juce::TextButton presetButton { "ZARIDEZ" };
    MainTimerSteps::PresetFlash presetFlash;
    /** Where preset warnings go instead of a warning box while set (tests read them here). */
    std::function<void (const juce::String& title, const juce::String& message)> presetWarningSink;
    juce::TextButton revertButton { "REVERT" };

    std::vector<LoopSequenceEntry> loopSequence;
    int loopSequenceIndex = 0;
    int loopSequenceRepeat = 0;
    bool portionsActive = false;
    int portionBias = 0;
    bool portionsRandomOrder = false;

    std::atomic<float>& bpm = audioEngine.bpm;   // 0: no tempo known

    juce::Label fileLabel { {}, "No file loaded" };
    WaveformView waveformView;

    juce::File loadedFile;
    std::atomic<bool>& loadedFileExists = audioEngine.loadedFileExists;   // refreshed by the timer for the audio thread
    double loadedFileSeconds = 0.0;
    double& deviceSampleRate = audioEngine.deviceSampleRate;
    double loadedFileSampleRate = 44100.0;

    std::atomic<bool>& audioReady = audioEngine.audioReady;

    // What the audio thread may not ask for itself: whether the recording panel is shown.
    std::atomic<bool>& recordingWindowShown = audioEngine.recordingWindowShown;

    juce::String drumStyleName { "Unknown" };
    float drumStyleConfidence = 0.0f;

    double loopStart = 0.0, loopEnd = 0.0;
    std::atomic<bool> loopRangeActive { false };

    InscriptionLookAndFeel inscriptionLookAndFeel;
    SilverKnobLookAndFeel silverKnobLookAndFeel;
    InscriptionScrollbarLookAndFeel scrollbarLookAndFeel;

    juce::Viewport effectsViewport;
    juce::Component effectsContent;

    PurpleHeadsUpDisplay distortionHud;
    DistortionSuite distortionSuite { &distortionHud };
    int distortionPanelState = panelHidden;
    juce::TextButton distortionSuiteButton { "DISTORTION SUITE" };

    HeadsUpDisplay stereoUtilityHud;
    StereoUtilityMax stereoUtilityMax { &stereoUtilityHud };
    int stereoUtilityPanelState = panelHidden;
    juce::TextButton stereoUtilityButton { "STEREO UTILITY" };

    GreenHeadsUpDisplay delayVerbHud;
    DelayVerb delayVerb { &delayVerbHud };
    int delayVerbPanelState = panelHidden;
    juce::TextButton delayVerbButton { "DELAYVERB" };

    OrangeHeadsUpDisplay atomizerHud;
    Atomizer atomizer { &atomizerHud };
    int atomizerPanelState = panelHidden;
    juce::TextButton atomizerButton { "ATOMIZER" };

    CyanHeadsUpDisplay imagerHud;
    MultiEffectImagerPro imager { &imagerHud };
    int imagerPanelState = panelHidden;
    juce::TextButton imagerButton { "MULTI EFFECT IMAGER" };

    MagentaHeadsUpDisplay timeProHud;
    HeightAndWeight timePro { &timeProHud };
    int timeProPanelState = panelHidden;
    juce::TextButton timeProButton { "TIMEPRO" };

    GoldHeadsUpDisplay dictionaryHud;
    DictionaryReader dictionaryReader { &dictionaryHud };
    int dictionaryPanelState = panelHidden;
    juce::TextButton dictionaryButton { "DICTIONARY READER" };

    SmartEQ smartEq;
    int smartEqPanelState = panelHidden;
    juce::TextButton smartEqButton { "SMART EQ" };

    TavroFinalizerHUD finalizerHud;
    TavroFinalizer finalizer { &finalizerHud };
    FinalizerPanel finalizerPanel { &finalizer };
    int finalizerPanelState = panelHidden;
    juce::TextButton finalizerButton { "FINALIZER" };

    EffectChain& effectChain = audioEngine.effectChain;

    juce::Rectangle<int> buttonRowArea;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
