// Reading a preset file as the dialogs and the quick preset do: the size limit, the shape
// checks, the framework's JSON parser and the conversion to knob values. A crash, a hang, a
// value a knob could not hold, or an accepted preset that does not survive being written and
// read again is a finding.
#include "main/PresetFile.h"

#include <cmath>
#include <cstdlib>

namespace
{
    void require (bool condition)
    {
        if (! condition)
            std::abort();
    }

    bool finite (const presetfile::Loaded& p)
    {
        for (float v : { p.toneMax, p.spatialMax, p.texturePro, p.metaControl, p.mathControl, p.pitch, p.pan })
            if (! std::isfinite (v))
                return false;

        return ! p.bpm || std::isfinite (*p.bpm);
    }
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    const auto loaded = presetfile::fromJson (presetfile::parse (data, size));

    if (! loaded)
        return 0;

    require (finite (*loaded));
    require (loaded->masterPro >= 0 && loaded->masterPro <= 19);

    // What was accepted is written back in both forms and must read back the same.
    const presetfile::State state { loaded->toneMax, loaded->spatialMax, loaded->masterPro, loaded->texturePro,
                                    loaded->metaControl, loaded->mathControl, loaded->pitch, loaded->pan,
                                    loaded->bpm.value_or (0.0f), loaded->freeze.value_or (false) };

    for (bool oneLine : { true, false })
    {
        const auto text = presetfile::toText (presetfile::toJson (state), oneLine).toStdString();
        const auto again = presetfile::fromJson (presetfile::parse (text.data(), text.size()));

        require (again.has_value());
        require (again->toneMax == state.toneMax && again->spatialMax == state.spatialMax
                 && again->masterPro == state.masterPro && again->texturePro == state.texturePro
                 && again->metaControl == state.metaControl && again->mathControl == state.mathControl
                 && again->pitch == state.pitch && again->pan == state.pan
                 && again->bpm == std::optional<float> (state.bpm) && again->freeze == std::optional<bool> (state.freeze));
    }

    return 0;
}
