#include "main/MainComponent.h"

#include "main/chain/RoutingMenus.h"
#include "main/ui/OwnedMenu.h"

// The effect chain and its routing, and the tap tempo. The routing menus edit `routing` here
// on the message thread and publish a copy; the audio thread only ever runs a whole copy, so
// an edit takes effect from the next block and a block never sees half an edit.

bool MainComponent::isEffectActive (int id) const noexcept
{
    return audioEngine.isEffectActive (id);
}

void MainComponent::runEffectChain (juce::AudioBuffer<float>& buffer, int start, int n) noexcept
{
    audioEngine.runEffectChain (buffer, start, n);
}

void MainComponent::publishRouting()
{
    effectChain.publishRouting (routing);
}

//==============================================================================
void MainComponent::showRoutingMenu()
{
    showOwnedMenu (RoutingMenus::buildRoutingMenu (routing), orderButton, *this,
                   &MainComponent::handleRoutingMenuResult, &inscriptionLookAndFeel);
}

void MainComponent::handleRoutingMenuResult (int id)
{
    juce::Random random;
    random.setSeedRandomly();

    switch (RoutingMenus::applyRoutingMenuResult (routing, id, random))
    {
        case RoutingMenus::Outcome::changed:               publishRouting(); break;
        case RoutingMenus::Outcome::openSerialOrderEditor: showSerialOrderEditor(); break;
        case RoutingMenus::Outcome::openGroupEditor:       showGroupEditor(); break;
        case RoutingMenus::Outcome::nothing:               break;
    }
}

void MainComponent::showSerialOrderEditor()
{
    auto menu = RoutingMenus::buildSerialOrderEditor (routing, [this] (int id) { return isEffectActive (id); });
    showOwnedMenu (std::move (menu), orderButton, *this, &MainComponent::handleSerialOrderResult,
                   &inscriptionLookAndFeel);
}

void MainComponent::handleSerialOrderResult (int id)
{
    if (! RoutingMenus::applySerialOrderResult (routing, id))
        return;

    publishRouting();
    showSerialOrderEditor();
}

void MainComponent::showGroupEditor()
{
    showOwnedMenu (RoutingMenus::buildGroupEditor (routing), orderButton, *this,
                   &MainComponent::handleGroupEditorResult, &inscriptionLookAndFeel);
}

void MainComponent::handleGroupEditorResult (int id)
{
    if (! RoutingMenus::applyGroupEditorResult (routing, id))
        return;

    publishRouting();
    showGroupEditor();
}

//==============================================================================
void MainComponent::tapButtonClicked()
{
    beatClock.tap();

    const float tempo = beatClock.getTargetTempo();

    if (! (tempo > 0.0f))
        return;

    bpm = tempo;
    bpmEditor.setText (juce::String ((int) std::lround (tempo)), juce::dontSendNotification);
    setBpm (tempo);
}
