#include "main/MainComponent.h"

#include "main/ui/OwnedMenu.h"

#include <algorithm>
#include <cmath>

// What the macro knobs do to the rest of the system: their value callbacks hand amounts to the
// randomiser and couple the engines and panels, PitchReactiveMacro regenerates on a pitch-knob
// release, and the TexturePro and MasterPro menus carry out their choices.

//==============================================================================
void MainComponent::toneMaxChanged (float value)
{
    randomiser.setEqAmount (value);
    applyMacroTargets();

    const float mash = mashKnob.getValue(), korrupt = korruptKnob.getValue(), pandora = pandoraKnob.getValue();

    // Each engine keeps its setting while it is off, so switching it on resumes from where the
    // knob last left it until the knob moves again.
    korruptEngine.setLevelFromKnob (tonemaxengines::korruptLevel (value, mash, korrupt, pandora));

    if (mashEngine.enabled.load())
        mashEngine.amount = tonemaxengines::mashAmount (value, mash, korrupt, pandora);

    const float e = value / 100.0f;
    const float f = e * e;
    const float b = mash / 100.0f, c = korrupt / 100.0f, d = pandora / 100.0f;
    writeToneMaxCouplings (e, b * f, c * f, d * f);
    toneMaxCouplingAmount = e;
}

void MainComponent::writeToneMaxCouplings (float e, float mash, float korrupt, float pandora)
{
    stereoUtilityMax.modWidthOffset = 30.0f * korrupt;
    stereoUtilityMax.modBalanceOffset = 20.0f * korrupt;
    stereoUtilityMax.modMixOffset = 0.0f;

    distortionSuite.korruptOffsets[0] = 4.0f * mash;
    distortionSuite.korruptOffsets[2] = 15.0f * mash;

    delayVerb.korruptOffsets[0] = 200.0f * pandora;
    delayVerb.korruptOffsets[1] = 20.0f * pandora;
    delayVerb.korruptOffsets[2] = 25.0f * pandora;
    delayVerb.korruptOffsets[3] = 0.0f;

    atomizer.korruptOffsets[0] = 40.0f * e;
    atomizer.korruptOffsets[1] = 25.0f * e;
    atomizer.korruptOffsets[2] = 20.0f * e;
}

void MainComponent::spatialMaxChanged (float value)
{
    lastSpatialMaxValue = value / 100.0f;
    randomiser.setSpaceAmount (value);
    applyMacroTargets();
}

void MainComponent::spatialMaxOverdriveChanged (bool overdrive)
{
    randomiser.spaceOverdrive = overdrive;
}

void MainComponent::masterProLevelChanged (int level)
{
    // Regenerated groups wait for the next timer tick, which applies only while playing.
    randomiser.setMasterAmount ((float) level / (float) MasterControlKnob::maxLevel * 100.0f);
    masterProLevel = level;
}

void MainComponent::textureProChanged (float value)
{
    randomiser.setTimeProAmount (value);
    applyMacroTargets();
}

void MainComponent::metaControlChanged (float value)
{
    randomiser.setMetaControlValue (value);
    // Once more whatever FREEZE says: an unfrozen change above 0 bends the targets twice.
    randomiser.applyMetaControl();
    applyMacroTargets();
}

void MainComponent::pitchReleased()
{
    if (! pitchReactiveMacro)
        return;

    const auto toneMax = toneMaxKnob.slider.getValue();
    const auto spatialMax = spatialMaxKnob.slider.getValue();
    const auto master = (double) masterProKnob.getLevel() / MasterControlKnob::maxLevel * 100.0;

    if (toneMax < 1.0 && spatialMax < 1.0 && master < 1.0)
        return;

    if (randomiser.nextRandom() > 0.25f)
        return;

    if (toneMax > 0.5)
        randomiser.randomiseEqGroup();

    if (spatialMax > 0.5)
        randomiser.randomiseSpaceGroup();

    applyMacroTargets();
}

//==============================================================================
void MainComponent::showMasterControlMenu()
{
    juce::PopupMenu menu;
    menu.addSectionHeader ("MASTER CONTROL");
    menu.addItem (1, "PitchReactiveMacro", true, pitchReactiveMacro);
    menu.addSeparator();
    menu.addItem (2, "OVERDRIVE (All Macros)", true,
                  randomiser.spaceOverdrive && randomiser.eqOverdrive && randomiser.timeProOverdrive);

    showOwnedMenu (std::move (menu), masterProKnob, *this, &MainComponent::handleMasterControlMenuResult);
}

void MainComponent::handleMasterControlMenuResult (int id)
{
    if (id == 1)
    {
        pitchReactiveMacro = ! pitchReactiveMacro;
    }
    else if (id == 2)
    {
        const bool allOn = randomiser.spaceOverdrive && randomiser.eqOverdrive && randomiser.timeProOverdrive;
        randomiser.spaceOverdrive = randomiser.eqOverdrive = randomiser.timeProOverdrive = ! allOn;
    }
}

void MainComponent::handleTextureProMenuResult (int id)
{
    auto toggle = [] (bool& flag) { flag = ! flag; };

    switch (id)
    {
        case 5:   toggle (randomiser.timeProOverdrive); break;
        case 20:  toggle (randomiser.lockHalfTime); break;
        case 21:  toggle (randomiser.lockSlicer); break;
        case 22:  toggle (randomiser.lockStutter); break;
        case 23:  toggle (randomiser.lockDynamics); break;
        case 24:  toggle (randomiser.lockCharacter); break;
        default:  break;
    }

    // The presets move the knob only: the randomiser keeps its amount until the knob is turned.
    if (id >= 100 && id <= 103)
    {
        textureProKnob.slider.setValue (25.0 * (id - 99), juce::dontSendNotification);
        textureProKnob.updateTitle();
    }
    else if (id == 200)
    {
        textureProKnob.slider.setValue (0.0, juce::dontSendNotification);
        textureProKnob.updateTitle();
    }

    textureProKnob.repaint();
}
