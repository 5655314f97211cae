#include "main/MainComponent.h"

#include "main/ui/EffectPanelSwitch.h"
#include "main/ui/OwnedMenu.h"

// The row of effect-panel buttons: each shows or hides its panel (and display), after which
// the window is laid out again so the shown panels stack in the scrolling area.

void MainComponent::togglePanel (int effectId)
{
    switch (effectId)
    {
        case 1: EffectPanelSwitch::toggle (stereoUtilityPanelState, stereoUtilityMax, &stereoUtilityHud); break;
        case 2: EffectPanelSwitch::toggle (delayVerbPanelState, delayVerb, &delayVerbHud); break;
        case 3: EffectPanelSwitch::toggle (atomizerPanelState, atomizer, &atomizerHud); break;
        case 4: EffectPanelSwitch::toggle (imagerPanelState, imager, &imagerHud); break;
        case 5: EffectPanelSwitch::toggle (timeProPanelState, timePro, &timeProHud); break;
        case 6: EffectPanelSwitch::toggle (dictionaryPanelState, dictionaryReader, &dictionaryHud); break;
        case 7: EffectPanelSwitch::toggle (smartEqPanelState, smartEq, nullptr); break;
        case 8: EffectPanelSwitch::toggleFinalizer (finalizerPanelState, finalizerPanel, finalizerHud); break;
        default: return;
    }

    resized();
    repaint();
}

void MainComponent::finalizerHudToggled (bool)
{
    EffectPanelSwitch::toggleFinalizerHud (finalizerHud, finalizerPanel);
}

void MainComponent::showDistortionModeMenu()
{
    showOwnedMenu (EffectPanelSwitch::buildDistortionMenu (distortionPanelState), distortionSuiteButton, *this,
                   &MainComponent::handleDistortionMenuResult, &inscriptionLookAndFeel);
}

void MainComponent::handleDistortionMenuResult (int id)
{
    if (EffectPanelSwitch::applyDistortionMenuResult (id, distortionPanelState, distortionSuite, distortionHud))
    {
        resized();
        repaint();
    }
}
