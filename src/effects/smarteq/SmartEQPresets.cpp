#include "effects/smarteq/SmartEQ.h"

namespace
{
    using Band = SmartEQ::Band;

    void shape (Band& b, std::int32_t type, float frequencyHz, float gainDb, float q)
    {
        b.filterType = type;
        b.frequencyHz = frequencyHz;
        b.gainLeftDb = b.gainRightDb = gainDb;
        b.q = q;
    }

    void bell (Band& b, float frequencyHz, float gainDb, float q)  { shape (b, smarteq::bell, frequencyHz, gainDb, q); }

    // The cut types ignore the gains; they keep what the reset left them.
    void cut (Band& b, std::int32_t type, float frequencyHz, float q)
    {
        b.filterType = type;
        b.frequencyHz = frequencyHz;
        b.q = q;
    }

    void dynamics (Band& b, float thresholdDb)
    {
        b.dynamicOn = true;
        b.thresholdDb = thresholdDb;
    }

    void drive (Band& b, float saturationPct)
    {
        b.driveOn = true;
        b.saturationPct = saturationPct;
    }
}

void SmartEQ::showPresetMenu()
{
    juce::PopupMenu factory;
    factory.addItem (1, "Vocal Clarity");
    factory.addItem (2, "Bass Enhancement");
    factory.addItem (3, "Drum Punch");
    factory.addItem (4, "Warmth & Body");
    factory.addItem (5, "Air & Presence");
    factory.addItem (6, "De-Mudder");
    factory.addItem (7, "Brightness Boost");
    factory.addItem (8, "Lo-Fi Character");
    factory.addItem (9, "Master Bus Glue");
    factory.addItem (10, "Flat (Reset)");

    juce::PopupMenu user;
    user.addItem (100, "(No user presets)");

    juce::PopupMenu menu;
    menu.addSubMenu ("Factory Presets", factory);
    menu.addSeparator();
    menu.addSubMenu ("User Presets", user);
    menu.addSeparator();
    menu.addItem (200, "Save Preset...");
    menu.addItem (201, "Load Preset...");
    menu.addItem (202, "Initialize (Reset All)");

    juce::Component::SafePointer<SmartEQ> safeThis (this);
    menu.showMenuAsync (juce::PopupMenu::Options().withTargetComponent (&presetsButton),
                        [safeThis] (int result)
                        {
                            if (safeThis != nullptr)
                                safeThis->applyPreset (result);
                        });
}

void SmartEQ::applyPreset (int itemId)
{
    if (itemId == 0)
        return;

    if (itemId >= 1 && itemId <= 9)
    {
        // One published set for the whole preset: the audio thread never runs a half-applied one.
        const PublishBatch batch (*this);
        resetToDefaults();
        applyFactoryPreset (itemId);
        for (int b = 0; b < numBands; ++b)
            updateFilters (b);
    }
    else if (itemId == 10 || itemId == 202)
    {
        resetToDefaults();
    }

    repaint();
}

void SmartEQ::resetToDefaults()
{
    const PublishBatch batch (*this);

    for (int b = 0; b < numBands; ++b)
    {
        auto& rec = band (b);
        rec.enabled = true;
        rec.filterType = smarteq::bell;
        rec.gainLeftDb = rec.gainRightDb = 0.0f;
        rec.q = 1.0f;
        rec.linkStereo = true;
        rec.mixPct = 100.0f;
        rec.dynamicOn = false;
        rec.driveOn = false;
        rec.motionOn = false;
        rec.widthPct = 100.0f;

        auto& c = bandControls[(size_t) b];
        c.gainLeftFader.setValue (0.0, juce::dontSendNotification);
        c.gainRightFader.setValue (0.0, juce::dontSendNotification);
        c.qSlider.setValue (1.0, juce::dontSendNotification);
        c.macroKnobs[dynKnob].setValue (0.0, juce::dontSendNotification);
        c.macroKnobs[satKnob].setValue (0.0, juce::dontSendNotification);
        c.macroKnobs[widKnob].setValue (100.0, juce::dontSendNotification);
        c.macroKnobs[lfoKnob].setValue (0.0, juce::dontSendNotification);

        updateFilters (b);
    }

    outputGainKnob.setValueSilently (0.0);
    globalMixKnob.setValueSilently (100.0);
    monoButton.setToggleStateAndMirror (false, juce::dontSendNotification);

    statusLabel.setText ("All parameters reset to defaults", juce::dontSendNotification);
}

void SmartEQ::applyFactoryPreset (int presetId)
{
    auto& b0 = band (0);
    auto& b1 = band (1);
    auto& b2 = band (2);
    auto& b3 = band (3);
    auto& b4 = band (4);

    switch (presetId)
    {
        case 1: // Vocal Clarity
            bell (b0, 250.0f, -3.0f, 1.5f);
            bell (b1, 3000.0f, 2.5f, 1.2f);
            shape (b2, smarteq::highShelf, 10000.0f, 2.0f, 0.8f);
            b3.frequencyHz = 6000.0f;
            dynamics (b3, -15.0f);
            break;

        case 2: // Bass Enhancement
            shape (b0, smarteq::lowShelf, 60.0f, 4.0f, 1.0f);
            drive (b0, 15.0f);
            bell (b1, 100.0f, 2.0f, 2.0f);
            bell (b2, 300.0f, -2.0f, 1.5f);
            break;

        case 3: // Drum Punch
            bell (b0, 80.0f, 3.0f, 2.5f);
            bell (b1, 200.0f, 2.0f, 2.0f);
            bell (b2, 3500.0f, 3.0f, 1.5f);
            bell (b3, 8000.0f, 2.0f, 1.0f);
            b4.frequencyHz = 5000.0f;
            dynamics (b4, -10.0f);
            break;

        case 4: // Warmth & Body
            shape (b0, smarteq::lowShelf, 150.0f, 2.5f, 0.8f);
            drive (b0, 20.0f);
            b0.tubeMode = true;
            bell (b1, 400.0f, 1.5f, 1.0f);
            drive (b1, 10.0f);
            b1.tubeMode = true;
            shape (b2, smarteq::highShelf, 8000.0f, -2.0f, 0.7f);
            break;

        case 5: // Air & Presence
            cut (b0, smarteq::lowCut, 80.0f, 0.7f);
            bell (b1, 4000.0f, 2.0f, 1.2f);
            shape (b2, smarteq::highShelf, 12000.0f, 4.0f, 0.7f);
            b2.widthPct = 120.0f;
            bell (b3, 16000.0f, 2.0f, 1.0f);
            b3.widthPct = 130.0f;
            break;

        case 6: // De-Mudder
            cut (b0, smarteq::lowCut, 40.0f, 0.7f);
            bell (b1, 250.0f, -4.0f, 1.0f);
            bell (b2, 400.0f, -2.5f, 1.5f);
            bell (b3, 800.0f, -2.0f, 2.0f);
            break;

        case 7: // Brightness Boost
            shape (b0, smarteq::highShelf, 6000.0f, 3.0f, 0.7f);
            bell (b1, 3000.0f, 2.0f, 1.5f);
            bell (b2, 12000.0f, 2.5f, 1.0f);
            cut (b3, smarteq::lowCut, 100.0f, 0.5f);
            break;

        case 8: // Lo-Fi Character
            cut (b0, smarteq::lowCut, 100.0f, 0.5f);
            b0.widthPct = 60.0f;
            bell (b1, 1000.0f, 3.0f, 0.8f);
            drive (b1, 40.0f);
            b1.softClip = true;
            b1.widthPct = 70.0f;
            cut (b2, smarteq::highCut, 4000.0f, 0.7f);
            break;

        case 9: // Master Bus Glue
            shape (b0, smarteq::lowShelf, 80.0f, 1.0f, 0.7f);
            drive (b0, 5.0f);
            b0.tubeMode = true;
            bell (b1, 500.0f, -1.0f, 0.8f);
            bell (b2, 3000.0f, 1.5f, 1.0f);
            shape (b3, smarteq::highShelf, 10000.0f, 1.0f, 0.7f);
            for (auto* glued : { &b0, &b1, &b2, &b3 })
            {
                dynamics (*glued, -20.0f);
                glued->ratio = 2.0f;
            }
            break;

        default:
            break;
    }
}

void SmartEQ::applyMacroEq (float amountPct, const std::array<float, numBands>& gainsDb)
{
    applyMacroEq (amountPct, gainsDb.data());
}

void SmartEQ::applyMacroEq (float amountPct, const float* gainsDb)
{
    const PublishBatch batch (*this);
    const bool zero = amountPct / 100.0f < 0.01f || gainsDb == nullptr;

    for (int b = 0; b < numBands; ++b)
    {
        const float g = zero ? 0.0f : gainsDb[b];
        auto& c = bandControls[(size_t) b];
        c.gainLeftFader.setValue (g, juce::dontSendNotification);
        c.gainRightFader.setValue (g, juce::dontSendNotification);
        band (b).gainLeftDb = band (b).gainRightDb = g;

        // Zeroing recomputes too: stale coefficients would keep the old bell shapes sounding
        // while the gains read 0.
        updateFilters (b);
    }
}
