#pragma once

#include "controls/HeadsUpDisplay.h"
#include "effects/atomizer/Atomizer.h"
#include "effects/distortion/DistortionSuite.h"
#include "effects/delayverb/DelayVerb.h"
#include "effects/dictionary/DictionaryReader.h"
#include "effects/finalizer/TavroFinalizer.h"
#include "effects/finalizer/TavroFinalizerHUD.h"
#include "effects/imager/MultiEffectImagerPro.h"
#include "effects/smarteq/SmartEQ.h"
#include "effects/stereoutility/StereoUtilityMax.h"
#include "effects/timepro/HeightAndWeight.h"
#include "main/chain/EffectDispatcher.h"

// The nine effects with their displays, as the main window holds them, at their start values.
struct EffectRack
{
    PurpleHeadsUpDisplay distortionHud;
    HeadsUpDisplay stereoHud;
    GreenHeadsUpDisplay delayHud;
    OrangeHeadsUpDisplay atomizerHud;
    CyanHeadsUpDisplay imagerHud;
    MagentaHeadsUpDisplay timeProHud;
    GoldHeadsUpDisplay dictionaryHud;
    TavroFinalizerHUD finalizerHud;

    DistortionSuite distortion { &distortionHud };
    StereoUtilityMax stereo { &stereoHud };
    DelayVerb delay { &delayHud };
    Atomizer atomizer { &atomizerHud };
    MultiEffectImagerPro imager { &imagerHud };
    HeightAndWeight timePro { &timeProHud };
    DictionaryReader reader { &dictionaryHud };
    SmartEQ eq;
    TavroFinalizer finalizer { &finalizerHud };

    EffectDispatcher::Effects effects()
    {
        return { distortion, stereo, delay, atomizer, imager, timePro, reader, eq, finalizer };
    }
};
